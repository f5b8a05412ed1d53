# The two commands of the README: `make run` and `make test`. Each installs what is missing,
# configures and builds as needed.
PRESET ?= dev
BUILD := build/$(PRESET)

.PHONY: all run test test-installed build bootstrap configure bench clean windows test-windows package

all: build

bootstrap:
	@scripts/bootstrap

$(BUILD)/build.ninja: | bootstrap
	cmake --preset $(PRESET)

configure: bootstrap $(BUILD)/build.ninja

build: configure
	cmake --build --preset $(PRESET)

run: build
	@scripts/run $(BUILD)

test: build
	ctest --preset $(PRESET)

# The local service's package on a Debian system booted with systemd, in a container (as root).
test-installed: build
	tests/installed/run $(BUILD)

# The Windows program, cross-built with MinGW-w64: dist/venmarra-VERSION-win64.zip.
build/windows/build.ninja: | bootstrap
	cmake --preset windows

windows: bootstrap build/windows/build.ninja
	cmake --build --preset windows --target windows_zip

# Its tests under Wine; the end-to-end run takes the local service from the Linux build.
test-windows: build build/windows/build.ninja
	cmake --build --preset windows
	ctest --preset windows

# Hardened release packages, the same bytes from the same commit: dist/*.deb, the zip, SHA256SUMS.
package:
	@scripts/package

clean:
	rm -rf build

bench: build
	@scripts/bench
