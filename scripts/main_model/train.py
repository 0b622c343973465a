#!/usr/bin/python3
"""Chooses the main form's model on the development pages of ../shared/data, by folds of their
sites, and writes it out as a C++ table. Debian's python3-xgboost and python3-numpy; one
thread and fixed seeds, so that any machine makes the same model.

  train.py cv --build BUILD [--cache DIR]        # scores by site folds: each fold by a model
                                                 # chosen without it; fold models in DIR/folds
  train.py program --build BUILD                 # the program's main form of each page by its
                                                 # fold's model, scored by wcxb.py and textq.py
  train.py table --build BUILD [--write FILE]    # the model of all the pages, as a C++ table
  train.py check --build BUILD                   # whether src/text/main_model_table.inc is it

BUILD holds pagelift-main-blocks. Blocks are kept in the cache (default
/tmp/pagelift-main-model) between runs; --fresh makes them again.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile
from pathlib import Path

os.environ.setdefault("OMP_NUM_THREADS", "1")
import numpy as np  # noqa: E402
import xgboost as xgb  # noqa: E402

HERE = Path(__file__).resolve().parent
ROOT = HERE.parents[1]
sys.path.insert(0, str(HERE))
import blocks as blocks_mod  # noqa: E402
import corpus  # noqa: E402
import model_table  # noqa: E402
import program_scores  # noqa: E402

# The trees' depth: the program weighs every tree in this many steps.
DEPTH = 7
PARAMS = dict(n_estimators=60, max_depth=DEPTH, learning_rate=0.2, subsample=0.8,
              colsample_bytree=0.8, min_child_weight=1.0, reg_lambda=1.0, tree_method="hist",
              max_bin=256, n_jobs=1, random_state=7, base_score=0.5)
# Where a page's weight is at most this many times its gold's: a page of much boilerplate
# around a short text counts more, as its score does, but not without bound.
MAX_PAGE_WEIGHT = 4.0
# How much a page of each source weighs: textq's sets are articles whose gold people wrote or
# chose line by line, WCXB's pages are of seven kinds.
SOURCE_WEIGHT = {"wcxb": 1.0, "textq": 1.0}
# The choice's constants (least_f1, least_share) of a table of no trees (see stub); a model's
# are chosen by folds (choose_constants).
STUB_CHOICE = (0.0, 0.0)


def training_rows(pages, page_blocks):
    """Features, labels and weights of the blocks whose label is known, and their pages."""
    xs, ys, ws, owners = [], [], [], []
    for i, (page, pb) in enumerate(zip(pages, page_blocks)):
        if len(pb.texts) == 0:
            continue
        if page.gold is not None:
            if not page.gold.strip():
                continue
            cov = corpus.coverage(pb.texts, page.gold)
            gold_tokens = max(len(corpus.units_of(page.gold)), 50)
            y = np.array([c >= 0.5 for c, _ in cov], dtype=np.float32)
            w = np.array([n / gold_tokens for _, n in cov], dtype=np.float32)
            known = np.ones(len(cov), dtype=bool)
        else:
            labels = corpus.snippet_labels(pb.texts, page.with_, page.without)
            known = np.array([lab is not None for lab in labels])
            y = np.array([lab or 0.0 for lab in labels], dtype=np.float32)
            counts = np.array([len(corpus.units_of(t)) for t in pb.texts], dtype=np.float32)
            w = counts / max(float(counts.sum()), 50.0)
        total = float(w.sum())
        if total > MAX_PAGE_WEIGHT:
            w *= MAX_PAGE_WEIGHT / total
        w *= SOURCE_WEIGHT[page.key.split("/", 1)[0]]
        xs.append(pb.x[known])
        ys.append(y[known])
        ws.append(w[known])
        owners.append(np.full(int(known.sum()), i))
    return np.concatenate(xs), np.concatenate(ys), np.concatenate(ws), np.concatenate(owners)


def fit(x, y, w):
    model = xgb.XGBClassifier(**PARAMS)
    model.fit(x, y, sample_weight=w)
    return model


def predict(model, page_blocks):
    """Each page's blocks' log-odds of being main text."""
    booster = model.get_booster()
    return [booster.predict(xgb.DMatrix(pb.x), output_margin=True) if len(pb.texts)
            else np.zeros(0, dtype=np.float32) for pb in page_blocks]


# ---------------------------------------------------------------- scores
def wcxb_f1(pred, gold):
    import re
    from collections import Counter
    p = re.findall(r"\w+", pred.lower())
    r = re.findall(r"\w+", (gold or "").lower())
    if not r:
        return 1.0 if not p else 0.0, 1.0, 1.0
    if not p:
        return 0.0, 0.0, 0.0
    ov = sum((Counter(p) & Counter(r)).values())
    pr, rc = ov / len(p), ov / len(r)
    return (2 * pr * rc / (pr + rc) if pr + rc else 0.0), pr, rc


STEPS = 4096
PROSE_TEXT = 60


def units_of_page(pb, p, names):
    """Each unit's words (at least one) and whether it is prose, as ChooseUnits takes them."""
    col = {n: names.index(n) for n in ("words", "text", "link_share", "mark_share")}
    words = np.maximum(pb.x[:, col["words"]], 1.0).astype(np.float64)
    prose = (pb.x[:, col["text"]] * (1 - pb.x[:, col["link_share"]]) >= PROSE_TEXT) & \
            (pb.x[:, col["mark_share"]] > 0)
    return words, prose


# The log-odds at which each step of probability begins, as MainChoosing has them.
BOUNDS = np.log(np.arange(1, STEPS, dtype=np.float64) /
                (STEPS - np.arange(1, STEPS, dtype=np.float64))).astype(np.float32)


def decide(pb, margins, names, choice=(0.0, 0.0)):
    """Which blocks to keep, as MainChoosing (src/text/main_choice.cpp) keeps them: those of
    the highest probability down to the step where the expected F1 is highest, at least
    choice[1] of the prose's words; none where that F1 is below choice[0]."""
    keep = np.zeros(len(margins), dtype=bool)
    if len(margins) == 0:
        return keep
    words, prose = units_of_page(pb, margins, names)
    steps = np.searchsorted(BOUNDS, margins.astype(np.float32), side="right")
    p = (steps + 0.5) / STEPS
    w = np.bincount(steps, weights=words, minlength=STEPS)
    m = np.bincount(steps, weights=p * words, minlength=STEPS)
    expected = float((p * words).sum())
    present = np.nonzero(w)[0][::-1]          # steps with blocks, highest first
    kept = np.cumsum(w[present])
    f1 = 2 * np.cumsum(m[present]) / (kept + expected)
    best = int(np.argmax(f1))
    if f1[best] < choice[0]:
        return keep
    lowest, have = present[best], kept[best]
    least = choice[1] * float(words[prose].sum())
    while lowest > 0 and have < least:
        lowest -= 1
        have += w[lowest]
    return steps >= lowest


def text_of(pb, keep):
    """The main form's text: the title, then the blocks kept; where none is, the readable form
    of the whole page (near enough: every block's text)."""
    if not keep.any():
        keep = np.ones(len(pb.texts), dtype=bool)
    return "\n".join([pb.title] + [t for t, k in zip(pb.texts, keep) if k])


LEAST_F1 = (0.0, 0.1, 0.2, 0.3, 0.4)
LEAST_SHARE = (0.0, 0.1, 0.2, 0.3, 0.4, 0.5)


class PageF1:
    """WCXB's F1 of a page's main form for a choice of blocks, each choice scored once."""

    def __init__(self, page, pb):
        from collections import Counter
        self.gold = Counter(re.findall(r"\w+", (page.gold or "").lower()))
        self.title = Counter(re.findall(r"\w+", pb.title.lower()))
        self.blocks = [Counter(re.findall(r"\w+", t.lower())) for t in pb.texts]
        self.seen = {}

    def __call__(self, keep):
        if not keep.any():
            keep = np.ones(len(self.blocks), dtype=bool)
        key = np.packbits(keep).tobytes()
        if key not in self.seen:
            pred = self.title.copy()
            for b, k in zip(self.blocks, keep):
                if k:
                    pred.update(b)
            p, r = sum(pred.values()), sum(self.gold.values())
            ov = sum((pred & self.gold).values())
            if not r:
                f = 1.0 if not p else 0.0
            else:
                f = 2 * ov / (p + r) if p else 0.0
            self.seen[key] = f
        return self.seen[key]


def choose_constants(pages, page_blocks, margins, names):
    """The choice's constants, chosen by folds: for each fold, those that give the other folds'
    WCXB pages (each by its own fold's model) the highest mean F1; the figure of each fold is
    by the constants chosen without it. Ties go to the larger constants, which keep more.
    Returns the constants chosen without each fold, and those chosen on all folds."""
    idx = [i for i, p in enumerate(pages) if p.key.startswith("wcxb/") and p.gold is not None]
    grid = [(f, s) for f in LEAST_F1 for s in LEAST_SHARE]
    scorers = {i: PageF1(pages[i], page_blocks[i]) for i in idx}
    f1 = {c: {i: scorers[i](decide(page_blocks[i], margins[i], names, c)) for i in idx} for c in grid}

    def best(use):
        return max(sorted(grid, reverse=True), key=lambda c: np.mean([f1[c][i] for i in use]))

    pooled, per_fold = [], []
    for k in range(corpus.FOLDS):
        c = best([i for i in idx if pages[i].fold != k])
        per_fold.append(c)
        pooled += [f1[c][i] for i in idx if pages[i].fold == k]
        print(f"fold {k}: least_f1 {c[0]}, least_share {c[1]}")
    chosen = best(idx)
    print(f"WCXB by the constants chosen without each fold: {np.mean(pooled):.4f}; on all folds:"
          f" least_f1 {chosen[0]}, least_share {chosen[1]}")
    return per_fold, chosen


def report(pages, page_blocks, margins, names, label="out of fold", choice=(0.0, 0.0)):
    by = {}
    short = gold_pages = 0
    for page, pb, p in zip(pages, page_blocks, margins):
        if page.gold is None or not page.key.startswith("wcxb/"):
            continue
        f, _, r = wcxb_f1(text_of(pb, decide(pb, p, names, choice)), page.gold)
        by.setdefault(page.kind, []).append(f)
        by.setdefault("all", []).append(f)
        if page.gold.strip():
            gold_pages += 1
            short += r < 0.5
    print(f"WCXB {label}:")
    for kind in ["article", "forum", "product", "collection", "listing", "documentation",
                 "service", "all"]:
        v = by.get(kind, [])
        print(f"  {kind:<14} {len(v):>5} {np.mean(v) if v else float('nan'):.3f}")
    print(f"  under half of the gold: {short} of {gold_pages} ({short / max(gold_pages, 1):.1%})")
    return float(np.mean(by["all"]))


def report_textq(shared, pages, page_blocks, margins, names, choice=(0.0, 0.0)):
    """textq's figures of the main form as the blocks give it (near enough to the program's)."""
    sys.path.insert(0, str(Path(shared) / "data" / "textq"))
    import textq
    by = {}
    for page, pb, p in zip(pages, page_blocks, margins):
        if not page.key.startswith("textq/"):
            continue
        out = text_of(pb, decide(pb, p, names, choice))
        name = page.kind
        if page.gold is not None:
            mode = "char" if name in ("jp-portals", "aozora") or page.site.endswith(".jp") else "token"
            by.setdefault(name, {"text": [], "snip": []})["text"].append(
                textq.text_match(page.gold, out, mode))
        else:
            c = textq.snippet_counts({"with": page.with_, "without": page.without}, out)
            by.setdefault(name, {"text": [], "snip": []})["snip"].append(c)
    cells = []
    for name, d in sorted(by.items()):
        if d["text"]:
            cells.append(f"{name} F1 {textq.mean_prf(d['text'])[2]:.3f}")
        if d["snip"]:
            tp, fp, fn = (sum(x[i] for x in d["snip"]) for i in range(3))
            cells.append(f"{name} snip F1 {2 * tp / max(2 * tp + fp + fn, 1):.3f} R {tp / max(tp + fn, 1):.3f}")
    print("textq (blocks' text): " + "; ".join(cells))


# ---------------------------------------------------------------- verbs
def prepare(args):
    shared = Path(args.shared)
    pages = corpus.all_pages(shared)
    tool = str(Path(args.build) / "pagelift-main-blocks")
    names = blocks_mod.feature_names(tool)
    cache = Path(args.cache) / "blocks"
    blocks_mod.dump(tool, pages, cache, jobs=args.jobs, force=args.fresh)
    return pages, names, blocks_mod.load(pages, cache, len(names))


def out_of_fold(pages, page_blocks, names, rows=None):
    """Each fold's model, chosen on the other folds, and each page's probabilities by the
    model of its fold. `rows`: training_rows of the pages, where they are made already."""
    x, y, w, owner = rows if rows is not None else training_rows(pages, page_blocks)
    folds = np.array([p.fold for p in pages])
    margins = [None] * len(pages)
    models = []
    for k in range(corpus.FOLDS):
        train = folds[owner] != k
        model = fit(x[train], y[train], w[train])
        models.append(model)
        held = [i for i, p in enumerate(pages) if p.fold == k]
        for i, pr in zip(held, predict(model, [page_blocks[i] for i in held])):
            margins[i] = pr
        print(f"fold {k}: {int(train.sum())} blocks to choose on, {len(held)} pages scored",
              flush=True)
    return models, margins


def cv(args):
    pages, names, page_blocks = prepare(args)
    models, margins = out_of_fold(pages, page_blocks, names)
    np.save(Path(args.cache) / "oof.npy", np.array(margins, dtype=object), allow_pickle=True)
    per_fold, chosen = choose_constants(pages, page_blocks, margins, names)
    out = Path(args.cache) / "folds"
    out.mkdir(parents=True, exist_ok=True)
    for k, model in enumerate(models):
        (out / f"fold{k}.model").write_text(model_table.text_format(model, names, per_fold[k], DEPTH))
        model.save_model(str(out / f"fold{k}.json"))
    report(pages, page_blocks, margins, names, choice=chosen)
    report_textq(args.shared, pages, page_blocks, margins, names, chosen)


def program(args):
    """The program's own main form of each page, by its fold's model, scored by the sets' scorers."""
    pages = corpus.all_pages(Path(args.shared))
    tool = str(Path(args.build) / "pagelift-main-blocks")
    models = [Path(args.cache) / "folds" / f"fold{k}.model" for k in range(corpus.FOLDS)]
    out = Path(args.cache) / "wcxb-cv"
    program_scores.run_wcxb(tool, pages, models, out, jobs=args.jobs)
    program_scores.score_wcxb(args.shared, out)
    program_scores.run_textq(args.shared, tool, pages, models, Path(args.cache) / "textq")


# The features by what they tell, for switching a group off (ablate).
GROUPS = {
    "own text": ("text", "link_share", "anchors", "mark_share", "stops", "words", "word_length",
                 "digit_share", "wide_share", "ends_stop", "repeats", "first_link", "code",
                 "time", "money", "separators", "capitals", "title_again", "headline_link"),
    "element": ("heading", "tag_", "depth"),
    "class words": ("w_",),
    "tags around": ("t_",),
    "shares of named blocks": ("s_",),
    "blocks around": ("parent_", "grand_", "great_", "alike", "story_list", "in_largest_group"),
    "place": ("position", "from_h1", "in_best", "from_best", "after_best", "boilerplate"),
    "neighbours": ("prev_", "next_"),
    "page": ("page_", "best_share"),
    "page kind": ("schema_", "graph_", "path_"),
}


def in_group(name, group):
    return any(name == p or (p.endswith("_") and name.startswith(p)) or
               (p in ("alike",) and name.startswith(p)) for p in GROUPS[group])


def ablate(args):
    """Each group of features switched off (its columns left out), the folds chosen and
    scored again: what each group adds."""
    pages, names, page_blocks = prepare(args)
    rows = training_rows(pages, page_blocks)
    full = [pb.x for pb in page_blocks]
    results = {}
    for group in [None] + list(GROUPS):
        keep = [i for i, n in enumerate(names) if group is None or not in_group(n, group)]
        for pb, x in zip(page_blocks, full):
            pb.x = x[:, keep] if len(x) else x.reshape(0, len(keep))
        sub = (rows[0][:, keep],) + rows[1:]
        sub_names = [names[i] for i in keep]
        _, margins = out_of_fold(pages, page_blocks, sub_names, sub)
        for pb, x in zip(page_blocks, full):
            pb.x = x
        # The constants as the program's are: chosen on all folds of the whole model.
        label = "none (all on)" if group is None else group
        results[label] = report(pages, page_blocks, margins, names, label)
        report_textq(args.shared, pages, page_blocks, margins, names)
    print("\n| features off | WCXB F1 (folds) | change |\n|---|---|---|")
    base = results["none (all on)"]
    for label, value in results.items():
        print(f"| {label} | {value:.3f} | {value - base:+.3f} |")


def final_model(args):
    """The model of all the pages, with the constants chosen by folds, and its table."""
    pages, names, page_blocks = prepare(args)
    rows = training_rows(pages, page_blocks)
    _, margins = out_of_fold(pages, page_blocks, names, rows)
    _, chosen = choose_constants(pages, page_blocks, margins, names)
    x, y, w, _ = rows
    model = fit(x, y, w)
    return pages, page_blocks, model, model_table.cpp_table(model, names, chosen, DEPTH)


def table(args):
    _, _, _, text = final_model(args)
    if args.write:
        Path(args.write).write_text(text)


def stub(args):
    """A table of no trees for the features main_features.h names now, so that the program
    builds while a new feature waits for its model."""
    import re
    header = (ROOT / "src" / "text" / "main_features.h").read_text()
    names = re.findall(r'X\(k\w+, "(\w+)"\)', header)
    text = model_table.cpp_table(None, names, STUB_CHOICE, DEPTH)
    (ROOT / "src" / "text" / "main_model_table.inc").write_text(text)


def check(args):
    """Whether the committed table is what this script makes, and whether the program built
    with it weighs blocks as XGBoost does (the features and the trees read alike)."""
    pages, page_blocks, model, made = final_model(args)
    committed = (ROOT / "src" / "text" / "main_model_table.inc").read_text()
    if made != committed:
        print("src/text/main_model_table.inc is not what scripts/main_model/train.py makes: run"
              " it with table --write src/text/main_model_table.inc")
        return 1
    tool = str(Path(args.build) / "pagelift-main-blocks")
    booster = model.get_booster()
    worst = 0.0
    for page, pb in list(zip(pages, page_blocks))[::50]:
        if not len(pb.texts):
            continue
        with tempfile.NamedTemporaryFile(suffix=".html") as f:
            f.write(page.data())
            f.flush()
            out = subprocess.run([tool, "--margins", f.name], capture_output=True, check=True)
        program = np.array([float(v) for v in out.stdout.split()], dtype=np.float64)
        python = booster.predict(xgb.DMatrix(pb.x), output_margin=True).astype(np.float64)
        if len(program) != len(python):
            print(f"{page.key}: the program weighs {len(program)} blocks, the script {len(python)}")
            return 1
        worst = max(worst, float(np.abs(program - python).max()))
    if worst > 1e-3:
        print(f"the program's log-odds differ from XGBoost's by up to {worst}")
        return 1
    print("src/text/main_model_table.inc is what scripts/main_model/train.py makes, and the"
          f" program weighs blocks as XGBoost does (log-odds within {worst:.1e})")
    return 0


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("verb", choices=["cv", "program", "table", "check", "stub", "ablate"])
    ap.add_argument("--build", default=str(ROOT / "build"))
    ap.add_argument("--shared", default=str(ROOT.parent / "shared"))
    ap.add_argument("--cache", default="/tmp/pagelift-main-model")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--fresh", action="store_true")
    ap.add_argument("--write")
    args = ap.parse_args()
    result = {"cv": cv, "program": program, "table": table, "check": check, "stub": stub,
              "ablate": ablate}[args.verb](args)
    return result if isinstance(result, int) else 0


if __name__ == "__main__":
    sys.exit(main())
