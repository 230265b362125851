# Sourced by the tests that run the engine over the corpus, with the project's root in $root:
# sets `corpus` and `jar`, exits 77 (skipped) when they, a further file named as an argument or
# Java are absent, and makes a work folder `work` that is removed on exit.
corpus=${QUILLMARK_CORPUS:-$root/../shared/corpus}/jrxml-samples
jar=${QUILLMARK_SIDECAR_JAR:-$root/sidecar/target/sidecar.jar}
for need in "$corpus" "$jar" "$@"; do
  [ -e "$need" ] || { echo "skipping: $need is absent"; exit 77; }
done
command -v java >/dev/null || { echo "skipping: no java"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
