"""The development pages the main form's model is chosen on, their gold, and their folds.

Pages come from ../shared/data beside the repository: WCXB's development pages (wcxb/) and
textq's development sets (textq/sets/). Each page belongs to one of five folds by its site,
as wcxb.py folds WCXB's, so that a page is always scored by a model chosen without its site.
"""
import gzip
import hashlib
import json
import re
from pathlib import Path
from urllib.parse import urlsplit

FOLDS = 5
# textq's sets whose gold is the main text, and those whose gold is snippets of it.
TEXT_SETS = ("readability", "scrapinghub", "aozora", "jp-portals")
SNIPPET_SETS = ("trafilatura", "mercury-ja")


def site_of_host(host):
    """The registrable part of a host, roughly, as wcxb.py takes it."""
    labels = (host or "").lower().split(".")
    if len(labels) > 2 and labels[-2] in ("co", "com", "org", "net", "ac", "gov", "ne", "or", "go"):
        return ".".join(labels[-3:])
    return ".".join(labels[-2:])


def fold_of(site):
    return int(hashlib.sha1(site.encode()).hexdigest(), 16) % FOLDS


class Page:
    """One development page: where its bytes are, its gold, its site and fold."""

    def __init__(self, key, path, site, kind, gold=None, with_=(), without=()):
        self.key = key          # "wcxb/0001", "textq/scrapinghub/05844573..."
        self.path = Path(path)
        self.site = site
        self.fold = fold_of(site)
        self.kind = kind        # WCXB's page type, or the textq set
        self.gold = gold        # the main text, or None where only snippets are known
        self.with_ = list(with_)
        self.without = list(without)

    def data(self):
        raw = self.path.read_bytes()
        return gzip.decompress(raw) if self.path.suffix == ".gz" else raw


def wcxb_pages(shared):
    base = Path(shared) / "data" / "wcxb"
    meta = json.loads((base / "metadata.json").read_text())["files"]
    for g in sorted((base / "dev" / "ground-truth").glob("*.json")):
        d = json.loads(g.read_text())
        gt = d.get("ground_truth")
        if not isinstance(gt, dict):
            continue
        pt = (d.get("_internal") or {}).get("page_type", {})
        pt = pt.get("primary", "article") if isinstance(pt, dict) else (pt if isinstance(pt, str) else "article")
        pt = "collection" if pt == "category" else pt
        host = urlsplit(d.get("url", "")).hostname or ""
        site = site_of_host(host) or meta.get(g.stem, {}).get("domain", g.stem)
        yield Page(f"wcxb/{g.stem}", base / "dev" / "html" / f"{g.stem}.html.gz", site, pt,
                   gold=gt.get("main_content") or "", with_=gt.get("with") or [],
                   without=gt.get("without") or [])


def textq_pages(shared):
    base = Path(shared) / "data" / "textq" / "sets"
    for name in TEXT_SETS + SNIPPET_SETS:
        folder = base / name
        manifest = folder / "manifest.tsv"
        if not manifest.exists():
            continue
        lines = manifest.read_text(encoding="utf-8").splitlines()
        head = lines[0].split("\t")
        snippets = {}
        if (folder / "snippets.json").exists():
            snippets = json.loads((folder / "snippets.json").read_text(encoding="utf-8"))
        for line in lines[1:]:
            row = dict(zip(head, line.split("\t")))
            if row.get("split") != "dev":
                continue
            site = site_of_host(row["site"])
            gold, with_, without = None, [], []
            if row["gold_kind"] == "text":
                gold = (folder / row["gold"]).read_text(encoding="utf-8")
            else:
                s = snippets.get(row["file"], {})
                with_, without = s.get("with", []), s.get("without", [])
            yield Page(f"textq/{name}/{row['file']}", folder / "pages" / row["file"], site, name,
                       gold=gold, with_=with_, without=without)


def all_pages(shared):
    return list(wcxb_pages(shared)) + list(textq_pages(shared))


# ---------------------------------------------------------------- labels
_WORD = re.compile(r"\w+")
_WIDE = re.compile(r"[\u3040-\u30ff\u3400-\u9fff\uf900-\ufaff\uff66-\uff9f]")


def units_of(text):
    """A text's tokens as labels take them: runs of \\w in lower case, a run of Japanese or
    Chinese cut into its characters."""
    out = []
    for m in _WORD.finditer(text.lower()):
        w = m.group(0)
        if _WIDE.search(w):
            out.extend(w)
        else:
            out.append(w)
    return out


def coverage(block_texts, gold):
    """For each block (its own text, in document order), the share of its tokens that the gold
    holds in the same order: a token is held where one of the n-grams around it in the page's
    run of tokens is one of the gold's, so that a short line is told by the lines beside it.
    The gold's n-grams are counted: a text the page gives twice and the gold once is held once,
    the first time."""
    from collections import Counter
    page, owner = [], []
    for b, text in enumerate(block_texts):
        toks = units_of(text)
        page.extend(toks)
        owner.extend([b] * len(toks))
    gold_tokens = units_of(gold or "")
    wide = sum(1 for t in gold_tokens if len(t) == 1 and _WIDE.match(t))
    n = 4 if wide > len(gold_tokens) / 3 else 3
    n = max(1, min(n, len(gold_tokens)))
    left = Counter(tuple(gold_tokens[i:i + n]) for i in range(len(gold_tokens) - n + 1))
    held = [False] * len(page)
    for i in range(len(page) - n + 1):
        gram = tuple(page[i:i + n])
        if left.get(gram, 0) > 0:
            left[gram] -= 1
            for k in range(i, i + n):
                held[k] = True
    counts = [0] * len(block_texts)
    hits = [0] * len(block_texts)
    for i, b in enumerate(owner):
        counts[b] += 1
        hits[b] += held[i]
    return [(hits[b] / counts[b] if counts[b] else 0.0, counts[b]) for b in range(len(block_texts))]


def snippet_labels(block_texts, with_, without):
    """Blocks that hold a part of a 'with' snippet are main text, of a 'without' one not; the
    others are not known (None)."""
    def norm(t):
        return re.sub(r"\s+", "", t.lower())
    labels = [None] * len(block_texts)
    texts = [norm(t) for t in block_texts]
    for snippet, value in [(s, 1.0) for s in with_] + [(s, 0.0) for s in without]:
        s = norm(snippet)
        if len(s) < 8:
            continue
        for b, t in enumerate(texts):
            if len(t) >= 8 and (s in t or (len(t) >= 20 and t in s)):
                labels[b] = value
    return labels
