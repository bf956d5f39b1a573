# Sourced by the benchmarks that keep a reference run in bench/reference/NAME.txt (the
# figures of the engine they were first taken on): print_reference NAME prints it after
# the run's own figures, to be read side by side.
print_reference() {
  local file=$TUNORA_ROOT/bench/reference/$1.txt
  echo
  if [ -f "$file" ]; then
    echo "== reference (old engine): bench/reference/$1.txt"
    cat "$file"
  else
    echo "== reference (old engine): none kept yet (bench/reference/$1.txt)"
  fi
}
