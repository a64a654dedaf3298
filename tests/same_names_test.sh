#!/usr/bin/env bash
# scripts/same-names on a made-up tree: it names the types defined twice in one namespace of
# one program, and none that are a file's own, nested in another type, or in the other
# toolkit's program.
set -euo pipefail
script="$(cd "$(dirname "$0")/.." && pwd)/scripts/same-names"
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/src/cli" "$tree/src/wizard" "$tree/src/pages" "$tree/src/win32" "$tree/tests"
cat >"$tree/src/cli/arguments.h" <<'CPP'
#define OTHER struct InMacro {
namespace zendrik {
// struct Commented { int a; };
/* struct Blocked { int a; }; */
struct Options {
    const char* text = "struct InString {";
    struct Inner { int x; };
};
class Listed final : public Base {};
namespace {
struct Host {};
}  // namespace
}  // namespace zendrik
CPP
cat >"$tree/src/wizard/options.h" <<'CPP'
#define MACRO struct InMacro {
namespace zendrik {
// struct Commented {};
/* struct Blocked {
   }; */
const char* s = "struct InString {";
struct Options {
    struct Inner { int y; };
};
namespace inner {
class Listed {};
}
struct Declared;
void f(struct Declared d) {
    struct Local {};
}
}  // namespace zendrik
CPP
cat >"$tree/tests/helper_test.cpp" <<'CPP'
namespace zendrik {
namespace {
struct Host {};
}  // namespace
void g() {
    struct Local {};
}
class Listed : public Other {
};
}
CPP
printf 'namespace zendrik {\nclass Optionen {};\n}\n' >"$tree/src/pages/optionen.h"
printf 'namespace zendrik {\nclass Optionen {};\n}\n' >"$tree/src/win32/optionen.h"
if out="$(bash "$script" "$tree" 2>&1)"; then
  echo "same-names passed a tree with two Options and two Listed" >&2; exit 1
fi
expected="$(sort <<EOT
with Qt: zendrik::Listed is defined in src/cli/arguments.h tests/helper_test.cpp
with Qt: zendrik::Options is defined in src/cli/arguments.h src/wizard/options.h
with Qt: zendrik::Options::Inner is defined in src/cli/arguments.h src/wizard/options.h
with Win32: zendrik::Listed is defined in src/cli/arguments.h tests/helper_test.cpp
with Win32: zendrik::Options is defined in src/cli/arguments.h src/wizard/options.h
with Win32: zendrik::Options::Inner is defined in src/cli/arguments.h src/wizard/options.h
EOT
)"
if [ "$(sort <<<"$out")" != "$expected" ]; then
  printf 'same-names said:\n%s\nexpected:\n%s\n' "$out" "$expected" >&2; exit 1
fi
# One of each: it passes.
rm "$tree/src/wizard/options.h" "$tree/tests/helper_test.cpp"
bash "$script" "$tree" >/dev/null
echo "same-names finds the types defined twice and only those"
