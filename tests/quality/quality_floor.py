"""A floor under the text forms' quality: the readable and main forms of pagelift-cli over
textq's development pages and a fixed sample of WCXB's, scored by the sets' own scorers,
fail when a figure falls more than MARGIN below the one in floors.json.

  quality_floor.py --cli PATH [--shared DIR] [--jobs N]     check (exit 77: no ../shared)
  quality_floor.py --cli PATH --write                       set floors.json to what it reaches

Raise the floors when a form gets better; lower one only with the reason in the commit.
"""
import argparse
import gzip
import json
import os
import random
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

HERE = Path(__file__).resolve().parent
FLOORS = HERE / "floors.json"
MARGIN = 0.005
FORMS = ("readable", "main")
# WCXB pages of each type, drawn once with this seed: a few hundred of every kind.
PER_TYPE = 50
SEED = 20261209


def run_cli(cli, form, data):
    with tempfile.NamedTemporaryFile(suffix=".html") as f:
        f.write(data)
        f.flush()
        r = subprocess.run([cli, "text", "--form", form, f.name], capture_output=True, timeout=120)
    return r.stdout.decode("utf-8", "replace").replace("\r\n", "\n") if r.returncode == 0 else ""


def wcxb_sample(wcxb):
    by_type = {}
    for p in wcxb.pages():
        by_type.setdefault(p["type"], []).append(p)
    draw = random.Random(SEED)
    return [p for kind in sorted(by_type)
            for p in draw.sample(by_type[kind], min(PER_TYPE, len(by_type[kind])))]


def wcxb_figures(shared, cli, jobs):
    sys.path.insert(0, str(shared / "data" / "wcxb"))
    import wcxb
    sample = wcxb_sample(wcxb)
    figures = {}
    for form in FORMS:
        def one(p):
            data = gzip.decompress((wcxb.HERE / "dev" / "html" / f"{p['id']}.html.gz").read_bytes())
            return p["type"], wcxb.word_f1(run_cli(cli, form, data), p["gt"].get("main_content") or "")[2]
        with ThreadPoolExecutor(jobs) as ex:
            scored = list(ex.map(one, sample))
        kinds = sorted({k for k, _ in scored})
        for kind in kinds:
            values = [f for k, f in scored if k == kind]
            figures[f"wcxb {kind} {form}"] = sum(values) / len(values)
        figures[f"wcxb all {form}"] = sum(f for _, f in scored) / len(scored)
    return figures


def textq_figures(shared, cli, results):
    textq_py = shared / "data" / "textq" / "textq.py"
    env = dict(os.environ, TEXTQ_RESULTS=str(results))

    def run(form):
        subprocess.run([sys.executable, str(textq_py), "run", "--quiet", "--force", "--split", "dev",
                        "--name", f"floor-{form}", "--cmd", f"{cli} text --form {form} {{raw}}"],
                       env=env, check=True, stdout=subprocess.DEVNULL)

    with ThreadPoolExecutor(len(FORMS)) as ex:
        list(ex.map(run, FORMS))
    os.environ["TEXTQ_RESULTS"] = str(results)
    sys.path.insert(0, str(textq_py.parent))
    import textq
    figures = {}
    for form in FORMS:
        for set_name in textq.available_sets():
            rows = [r for r in textq.load_manifest(set_name) if r["split"] == "dev"]
            s = textq.summarize(textq.load_records(f"floor-{form}", set_name), rows)
            # The main text's F1, or the snippets' where only snippets are known.
            measure = "F1" if "F1" in s else "sF1"
            figures[f"textq {set_name} {measure} {form}"] = s[measure]
    return figures


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--cli", required=True)
    ap.add_argument("--shared", default=str(HERE.parent.parent.parent / "shared"))
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--write", action="store_true")
    args = ap.parse_args()
    args.cli = str(Path(args.cli).resolve())
    shared = Path(args.shared)
    if not (shared / "data" / "wcxb" / "wcxb.py").is_file() or \
            not (shared / "data" / "textq" / "textq.py").is_file():
        print(f"no WCXB or textq under {shared}/data: skipped")
        return 77
    with tempfile.TemporaryDirectory() as results:
        with ThreadPoolExecutor(2) as ex:
            textq_run = ex.submit(textq_figures, shared, args.cli, Path(results))
            figures = wcxb_figures(shared, args.cli, args.jobs)
            figures.update(textq_run.result())
    if args.write:
        FLOORS.write_text(json.dumps({k: round(v, 4) for k, v in sorted(figures.items())},
                                     indent=1) + "\n")
        print(f"wrote {len(figures)} floors to {FLOORS}")
        return 0
    floors = json.loads(FLOORS.read_text())
    fell = []
    for name, floor in floors.items():
        got = figures.get(name)
        low = got is None or got < floor - MARGIN
        print(f"{'FELL ' if low else '     '}{name:40} {got if got is None else round(got, 4)!s:>8}"
              f"  floor {floor}")
        if low:
            fell.append(name)
    if fell:
        print(f"{len(fell)} figures fell more than {MARGIN} below their floors: {', '.join(fell)}")
        return 1
    print(f"all {len(floors)} figures at or above their floors, less {MARGIN}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
