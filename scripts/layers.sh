#!/bin/sh
# Draws Vantora's layers from its CMake targets and writes the drawing (a Mermaid graph) into
# docs/architecture.md between the "layers:begin" and "layers:end" markers. Run it after a
# change to the links between the folder libraries in src/CMakeLists.txt.
#   scripts/layers.sh            rewrite the drawing
#   scripts/layers.sh --check    only say whether the drawing is current (exit 1 if not)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(mktemp -d)
trap 'rm -rf "$build"' EXIT
# Only Vantora's own libraries and programs; Qt, tests and helper targets left out.
cat > "$build/CMakeGraphVizOptions.cmake" <<'OPTIONS'
set(GRAPHVIZ_EXTERNAL_LIBS FALSE)
set(GRAPHVIZ_INTERFACE_LIBS TRUE)
set(GRAPHVIZ_GENERATE_PER_TARGET FALSE)
set(GRAPHVIZ_GENERATE_DEPENDERS FALSE)
set(GRAPHVIZ_IGNORE_TARGETS "^(tst_|bench_|layer_probe_|slidetape|Slidetape|vantora_warnings|vantora_data|vantora_icons|rendericon|vantora-quoted)")
OPTIONS
cmake -S "$root" -B "$build" -DVANTORA_BUILD_TESTS=OFF -DVANTORA_BUILD_BENCH=OFF \
    --graphviz="$build/targets.dot" > "$build/configure.log" 2>&1 ||
    { cat "$build/configure.log"; exit 1; }
python3 - "$build/targets.dot" "$root/docs/architecture.md" "${1:-}" <<'PY'
import re, sys
dot, doc, mode = sys.argv[1], sys.argv[2], sys.argv[3]
text = open(dot).read()
names = dict(re.findall(r'"(node\d+)" \[ label = "([^"]+)"', text))
edges = sorted({(names[a], names[b]) for a, b in re.findall(r'"(node\d+)" -> "(node\d+)"', text)
                if a in names and b in names})
short = lambda n: n.replace('vantora_', '')
lines = ['```mermaid', 'graph TD']
lines += ['    %s --> %s' % (short(a), short(b)) for a, b in edges]
lines.append('```')
drawing = '\n'.join(lines)
page = open(doc).read()
new = re.sub(r'(<!-- layers:begin -->\n).*?(<!-- layers:end -->)',
             lambda m: m.group(1) + drawing + '\n' + m.group(2), page, count=1, flags=re.S)
if mode == '--check':
    sys.exit(0 if new == page else 'docs/architecture.md: the layer drawing is out of date')
open(doc, 'w').write(new)
PY
