#!/usr/bin/python3
"""A development page's blocks with what the model of the folds without it makes of them: its
probability of being main text, the gold's coverage of it, a few features and its text.

  explain.py KEY [--features text,link_share,...] [--cache DIR]     KEY as "wcxb/4607"
"""
import argparse
import sys
from pathlib import Path

import numpy as np
import xgboost as xgb

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
import blocks as blocks_mod  # noqa: E402
import corpus  # noqa: E402


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("key")
    ap.add_argument("--shared", default=str(HERE.parents[1].parent / "shared"))
    ap.add_argument("--cache", default="/tmp/pagelift-main-model")
    ap.add_argument("--build", default=str(HERE.parents[1] / "build"))
    ap.add_argument("--features", default="text,link_share,depth,alike,alike_up,in_best")
    ap.add_argument("--width", type=int, default=90)
    a = ap.parse_args()
    page = next(p for p in corpus.all_pages(a.shared) if p.key == a.key)
    tool = str(Path(a.build) / "pagelift-main-blocks")
    names = blocks_mod.feature_names(tool)
    blocks_mod.dump(tool, [page], Path(a.cache) / "blocks")
    pb = blocks_mod.load([page], Path(a.cache) / "blocks", len(names))[0]
    booster = xgb.Booster()
    booster.load_model(str(Path(a.cache) / "folds" / f"fold{page.fold}.json"))
    probs = booster.predict(xgb.DMatrix(pb.x)) if len(pb.texts) else np.zeros(0)  # sigmoid
    cov = corpus.coverage(pb.texts, page.gold) if page.gold is not None else [(0, 0)] * len(pb.texts)
    cols = [names.index(f) for f in a.features.split(",")]
    print(f"{page.key} {page.kind} fold {page.fold} site {page.site}; title: {pb.title}")
    print("prob  gold  " + " ".join(f"{names[c][:9]:>9}" for c in cols))
    for i, t in enumerate(pb.texts):
        print(f"{probs[i]:.2f}  {cov[i][0]:.2f}  " + " ".join(f"{pb.x[i, c]:>9.3g}" for c in cols)
              + "  " + t[:a.width])


if __name__ == "__main__":
    main()
