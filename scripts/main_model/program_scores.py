"""The main form of every development page as the program makes it, each page by the model
of the folds without its own (the fold models of train.py cv), scored by the sets' own
scorers: wcxb.py for WCXB, textq.py for textq."""
import json
import os
import shlex
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

import corpus


def run_wcxb(tool, pages, models, out, jobs=2):
    out = Path(out)
    out.mkdir(parents=True, exist_ok=True)

    def one(page):
        with tempfile.NamedTemporaryFile(suffix=".html") as f:
            f.write(page.data())
            f.flush()
            r = subprocess.run([tool, "--model", str(models[page.fold]), f.name],
                               capture_output=True, timeout=120)
        text = r.stdout.decode("utf-8", "replace").replace("\r\n", "\n") if r.returncode == 0 else ""
        (out / (page.key.split("/", 1)[1] + ".txt")).write_text(text)

    with ThreadPoolExecutor(jobs) as ex:
        list(ex.map(one, [p for p in pages if p.key.startswith("wcxb/")]))


def score_wcxb(shared, out):
    wcxb = Path(shared) / "data" / "wcxb" / "wcxb.py"
    for verb in (["score"], ["folds"]):
        subprocess.run([sys.executable, str(wcxb)] + verb + ["--out", str(out)], check=True)


def run_textq(shared, tool, pages, models, results, name="pagelift-main-cv"):
    """Runs textq once with each fold's model, then keeps of each run the pages of its fold."""
    textq = Path(shared) / "data" / "textq" / "textq.py"
    env = dict(os.environ, TEXTQ_RESULTS=str(results))
    fold_of = {tuple(p.key.split("/", 2)[1:]): p.fold for p in pages if p.key.startswith("textq/")}
    for k, model in enumerate(models):
        cmd = f"{shlex.quote(tool)} --model {shlex.quote(str(model))} {{raw}}"
        subprocess.run([sys.executable, str(textq), "run", "--quiet", "--force", "--name",
                        f"{name}-fold{k}", "--cmd", cmd], env=env, check=True,
                       stdout=subprocess.DEVNULL)
    merged = Path(results) / name
    merged.mkdir(parents=True, exist_ok=True)
    for jsonl in (Path(results) / f"{name}-fold0").glob("*.jsonl"):
        lines = []
        for k in range(len(models)):
            path = Path(results) / f"{name}-fold{k}" / jsonl.name
            for line in path.read_text(encoding="utf-8").splitlines():
                if line and fold_of.get((jsonl.stem, json.loads(line)["file"])) == k:
                    lines.append(line)
        (merged / jsonl.name).write_text("\n".join(lines) + "\n", encoding="utf-8")
    subprocess.run([sys.executable, str(textq), "table", "--tools", name, "--overview"], env=env,
                   check=True)
