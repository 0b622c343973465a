"""The trees of an XGBoost model, laid out as the main form evaluates them: each tree made
whole to the same depth, its inner nodes in heap order (the children of node i are 2i+1, where
a feature is below the node's value, and 2i+2), then its leaves. A leaf above the full depth
becomes nodes that always go to the first child, down to leaves of its value, so that every
tree is weighed in the same steps, without a branch."""
import json

import numpy as np

# Above every feature the program gives: a node of it always goes to its first child.
ALWAYS_FIRST = 3.0e38


def f32(v):
    """A float32 written so that it reads back the same, in Python and in C++."""
    return repr(float(np.float32(v)))


def xgb_trees(model):
    raw = json.loads(model.get_booster().save_raw(raw_format="json"))
    return raw["learner"]["gradient_booster"]["model"]["trees"]


def complete(tree, depth):
    """One tree as (features, values, leaves) of 2^depth - 1, 2^depth - 1 and 2^depth."""
    inner = (1 << depth) - 1
    features = [0] * inner
    values = [ALWAYS_FIRST] * inner
    leaves = [0.0] * (inner + 1)
    left, right = tree["left_children"], tree["right_children"]
    split, cond = tree["split_indices"], tree["split_conditions"]
    stack = [(0, 0, 0)]  # (xgboost node, heap place, level)
    while stack:
        n, place, level = stack.pop()
        if left[n] == -1:
            # All the leaves under `place`.
            first, count = place, 1
            while first < inner:
                first, count = 2 * first + 1, count * 2
            for k in range(first - inner, first - inner + count):
                leaves[k] = cond[n]
            continue
        if level >= depth:
            raise ValueError(f"a tree deeper than {depth}")
        features[place], values[place] = split[n], cond[n]
        stack.append((left[n], 2 * place + 1, level + 1))
        stack.append((right[n], 2 * place + 2, level + 1))
    return features, values, leaves


def text_format(model, names, choice, depth):
    """The model as a development tool reads it from a file; `choice` is (least_f1, least_share)."""
    trees = [complete(t, depth) for t in xgb_trees(model)]
    lines = ["pagelift-main-model 2", "features " + " ".join(names),
             f"least_f1 {f32(choice[0])}", f"least_share {f32(choice[1])}",
             f"depth {depth}", f"trees {len(trees)}"]
    for features, values, leaves in trees:
        lines.append(" ".join(str(f) for f in features))
        lines.append(" ".join(f32(v) for v in values))
        lines.append(" ".join(f32(v) for v in leaves))
    return "\n".join(lines) + "\n"


def cpp_table(model, names, choice, depth):
    """The model as the program carries it: src/text/main_model_table.inc."""
    trees = [complete(t, depth) for t in xgb_trees(model)] if model is not None else []
    out = ["// The main form's model: made by scripts/main_model/train.py from the development pages",
           "// of ../shared/data, chosen by folds of their sites (HACKING.md). Do not edit: run",
           "// the script again.",
           "",
           "// The features it was chosen on, in order: MainFeatures must give these.",
           "inline constexpr std::string_view kMainModelFeatures[] = {"]
    out += [f'    "{n}",' for n in names]
    out += ["};",
            f"inline constexpr float kMainModelLeastF1 = {f32(choice[0])}f;",
            f"inline constexpr float kMainModelLeastShare = {f32(choice[1])}f;",
            f"inline constexpr std::size_t kMainModelDepth = {depth};",
            f"inline constexpr std::size_t kMainModelTrees = {len(trees)};",
            "// Each tree's inner nodes: the feature they look at, and the value below which they go",
            "// to their first child.",
            "inline constexpr std::uint8_t kMainModelNodeFeatures[] = {"]
    if not trees:
        out.append("    0,")
    for features, _, _ in trees:
        out.append("    " + " ".join(f"{f}," for f in features))
    out += ["};", "inline constexpr float kMainModelNodeValues[] = {"]
    if not trees:
        out.append("    0.0f,")
    for _, values, _ in trees:
        out.append("    " + " ".join(f"{f32(v)}f," for v in values))
    out += ["};", "// Each tree's leaves: what they add to the log-odds.",
            "inline constexpr float kMainModelLeaves[] = {"]
    if not trees:
        out.append("    0.0f,")
    for _, _, leaves in trees:
        out.append("    " + " ".join(f"{f32(v)}f," for v in leaves))
    out.append("};")
    return "\n".join(out) + "\n"
