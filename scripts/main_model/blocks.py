"""The blocks of the development pages as pagelift-main-blocks gives them: their features and
their own text, kept in a folder so that a second run reads them back."""
import hashlib
import subprocess
import tempfile
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

import numpy as np


def feature_names(tool):
    head = subprocess.run([tool, "--header"], capture_output=True, text=True, check=True).stdout
    return head.rstrip("\n").split("\t")[STRUCTURE:-1]


# The columns before the features: unit, block, parent, end, kind.
STRUCTURE = 5


def dump(tool, pages, folder, jobs=2, force=False):
    """Writes each page's blocks to folder/<key>.tsv, once for each build of the tool."""
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    made_by = folder / "tool.sha1"
    tool_hash = hashlib.sha1(Path(tool).read_bytes()).hexdigest()
    if not made_by.exists() or made_by.read_text() != tool_hash:
        force = True

    def one(page):
        out = folder / (page.key + ".tsv")
        if out.exists() and not force:
            return
        out.parent.mkdir(parents=True, exist_ok=True)
        with tempfile.NamedTemporaryFile(suffix=".html") as f:
            f.write(page.data())
            f.flush()
            r = subprocess.run([tool, f.name], capture_output=True, timeout=120)
        if r.returncode != 0:
            raise RuntimeError(f"{tool} failed on {page.key}: {r.stderr.decode(errors='replace')}")
        tmp = out.with_suffix(".part")
        tmp.write_bytes(r.stdout)
        tmp.replace(out)

    if force:
        made_by.unlink(missing_ok=True)
    with ThreadPoolExecutor(jobs) as ex:
        list(ex.map(one, pages))
    made_by.write_text(tool_hash)


class PageBlocks:
    """One page's blocks: a float32 matrix of features, and each block's text."""

    def __init__(self, path, features):
        self.title = ""
        rows, texts, structure = [], [], []
        with open(path, encoding="utf-8", errors="replace", newline="\n") as f:
            for line in f:
                line = line.rstrip("\n")
                if line.startswith("#title\t"):
                    self.title = line[len("#title\t"):]
                    continue
                if line.startswith("#tree"):
                    tree = [c.split(" ") for c in line.split("\t")[1:]]
                    t = np.array(tree, dtype=np.int64).reshape(len(tree), 4)
                    # Of every block: the block it is in, the end of its blocks, its kind, text.
                    self.tree_parent, self.tree_end, self.tree_kind, self.tree_text = t.T
                    continue
                cols = line.split("\t")
                structure.append(cols[1:STRUCTURE])
                rows.append(cols[STRUCTURE:STRUCTURE + features])
                texts.append(cols[STRUCTURE + features] if len(cols) > STRUCTURE + features else "")
        self.x = np.array(rows, dtype=np.float32).reshape(len(rows), features)
        # Of each unit: its block, the block it is in, the end of its blocks, its kind.
        s = np.array(structure, dtype=np.int64).reshape(len(rows), 4)
        self.block, self.parent, self.end, self.kind = s[:, 0], s[:, 1], s[:, 2], s[:, 3]
        self.texts = texts


def load(pages, folder, features):
    return [PageBlocks(Path(folder) / (p.key + ".tsv"), features) for p in pages]
