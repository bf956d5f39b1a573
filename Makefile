# The two commands: `make run` starts the program, `make test` runs every test.
# Both install and build whatever is missing first; see README.md.
.PHONY: run test build bench bench-faults bench-gaps bench-volume bench-soak fuzz dist clean

# `make fuzz [SECONDS]` (or SECONDS=n): the word after fuzz is its time per target.
ifeq (fuzz,$(firstword $(MAKECMDGOALS)))
  FUZZ_SECONDS := $(word 2,$(MAKECMDGOALS))
  ifneq ($(FUZZ_SECONDS),)
    $(eval $(FUZZ_SECONDS):;@:)
  endif
endif

build:
	@scripts/build.sh

run:
	@TUNORA_WINDOWS_ONLY=1 scripts/build.sh
	@scripts/run.sh

# The Wine prefix is made before ctest starts its sessions side by side. The run's shared
# fixtures (the station, the unpacked release) live in a folder of this run's own, so
# that a second run beside it, in the same build folder, leaves them alone.
test: build
	@scripts/wine-prefix.sh >/dev/null
	@run=$$(mktemp -d "$${TMPDIR:-/tmp}/tunora-test-run.XXXXXX"); \
	TUNORA_TEST_RUN=$$run ctest --test-dir build/native --output-on-failure -j$${TUNORA_TEST_JOBS:-3}; \
	rc=$$?; rm -rf "$$run"; exit $$rc

bench:
	@TUNORA_WINDOWS_ONLY=1 scripts/build.sh
	@bench/startup.sh

# The stream-fault sweep with a 5 s good start per fault (`make test` runs it with 1 s).
bench-faults:
	@TUNORA_WINDOWS_ONLY=1 scripts/build.sh
	@bench/faults.sh

# The player's engine, each beside its reference run (bench/reference/): gaps on a busy
# machine, the fader and Disconnect at the sink, and the 45-minute soak.
bench-gaps:
	@TUNORA_WINDOWS_ONLY=1 scripts/build.sh
	@bench/gaps.sh

bench-volume:
	@TUNORA_WINDOWS_ONLY=1 scripts/build.sh
	@bench/volume.sh

bench-soak:
	@TUNORA_WINDOWS_ONLY=1 scripts/build.sh
	@bench/soak.sh

# The zip that users download, in dist/ (see README.md, "Download and install").
dist:
	@scripts/dist.sh

fuzz:
	@scripts/fuzz.sh $(or $(FUZZ_SECONDS),$(SECONDS),60)

clean:
	rm -rf build build.*.log dist
