# The two commands of the README: `make run` and `make test`. Each installs what is missing,
# configures and builds as needed.
PRESET ?= dev
BUILD := build/$(PRESET)

.PHONY: all run test build bootstrap configure bench clean

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

clean:
	rm -rf build

bench: build
	@scripts/bench
