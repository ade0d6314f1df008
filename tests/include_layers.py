#!/usr/bin/python3
"""Checks the include arrows of src/ against the layers docs/architecture.md
draws: every project include of a file must name a layer its own layer may
use, and inside src/app (and inside its Windows backend) no two concepts may
include each other, directly or round a longer loop. A concept is a file
without its extension, so a header and its source count as one.

    include_layers.py SRC_DIR     prints each fault; exit 1 if there is one
"""
import os
import re
import sys

# The layers, from the bottom, with the layers each may use (itself
# included).
USES = {
    "base": {"base"},
    "platform": {"base", "platform"},
    "raster": {"base", "platform", "raster"},
    "imaging": {"base", "platform", "raster", "imaging"},
    "desktop": {"base", "platform", "desktop"},
    "app": {"base", "platform", "raster", "imaging", "desktop", "app"},
    "app/win32": {"base", "platform", "raster", "imaging", "desktop", "app", "app/win32"},
}
CYCLE_FREE = ("app", "app/win32")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def layer_of(path):
    parts = path.split("/")
    if parts[0] == "app" and len(parts) > 2 and parts[1] == "win32":
        return "app/win32"
    return parts[0]


def main(src):
    faults = []
    graph = {}
    for root, _, files in os.walk(src):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.relpath(os.path.join(root, name), src).replace(os.sep, "/")
            layer = layer_of(path)
            if layer not in USES:
                continue
            with open(os.path.join(root, name), encoding="utf-8") as f:
                targets = INCLUDE.findall(f.read())
            concept = os.path.splitext(path)[0]
            for target in targets:
                target_layer = layer_of(target)
                if target_layer not in USES:
                    continue  # a generated header or one of the build's own
                if target_layer not in USES[layer]:
                    faults.append(f"{path}: includes {target}, of the layer {target_layer} above {layer}")
                other = os.path.splitext(target)[0]
                if layer in CYCLE_FREE and target_layer == layer and other != concept:
                    graph.setdefault(concept, set()).add(other)
    # Loops among the concepts of a cycle-free layer (depth-first search).
    state = {}

    def visit(node, trail):
        state[node] = "open"
        for nxt in sorted(graph.get(node, ())):
            if state.get(nxt) == "open":
                loop = trail[trail.index(nxt):] + [nxt] if nxt in trail else [node, nxt]
                faults.append("loop of includes: " + " -> ".join(loop))
            elif nxt not in state:
                visit(nxt, trail + [nxt])
        state[node] = "done"

    for node in sorted(graph):
        if node not in state:
            visit(node, [node])
    for fault in faults:
        print(fault)
    print(f"{len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
