# The two commands: `make run` starts the program, `make test` runs every test.
# Both install and build whatever is missing first; see README.md.
.PHONY: run test build bench clean

build:
	@scripts/build.sh

run:
	@TUNORA_WINDOWS_ONLY=1 scripts/build.sh
	@scripts/run.sh

test: build
	@scripts/session.sh ctest --test-dir build/native --output-on-failure -j2

bench:
	@TUNORA_WINDOWS_ONLY=1 scripts/build.sh
	@bench/startup.sh

clean:
	rm -rf build build.*.log
