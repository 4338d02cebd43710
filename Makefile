# Set-up and everyday commands. Each installs what is missing (Debian packages; for the browser
# test also playwright-core from the npm registry), configures and builds first.
#   make run      the virtual receiver with its page in the browser (http://127.0.0.1:8080/);
#                 Ctrl-C stops it. The screenshot demo: build/receiver --demo demo-out
#   make test     every test: the PC suite, then the receiver's (32-bit MIPS) suite under qemu,
#                 then each fuzz target briefly
#   make target   the plug-in image for the receiver: build-mipsel/Diro_ROD.tap
#   make test-asan every test once more, built with AddressSanitizer and UndefinedBehaviorSanitizer
#   make fuzz     every fuzz target for FUZZ_SECONDS each (default 600)
#   make bench    the benchmarks beside grep, xmllint, dd and cp: bench/RESULTS.md
# CI sets CI=true: warnings become errors.

BUILD ?= build
TARGET_BUILD ?= build-mipsel
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PACKAGES := cmake make g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
            fonts-dejavu-core libstb-dev libexpat1-dev tzdata
# Used by the tests: the XMLTV project's validator, Python's csv, html.parser and json.
PACKAGES += xmltv-util python3
# Used by the benchmarks (make bench): callgrind counts instructions (its header marks what is
# counted), xmllint is a reference.
PACKAGES += valgrind libxml2-utils
# The page in the browser (--serve), and its end-to-end test in Debian's Chromium.
PACKAGES += libcpp-httplib-dev chromium
TARGET_PACKAGES := g++-mipsel-linux-gnu binutils-mipsel-linux-gnu qemu-user googletest
# The sanitized build and the fuzz targets: clang with its libFuzzer, llvm-symbolizer for traces.
ASAN_PACKAGES := clang libclang-rt-14-dev llvm
ASAN_BUILD ?= build-asan
FUZZ_SECONDS ?= 600
ASAN_FLAGS := -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DDIRO_FUZZ=ON -DDIRO_BENCH=OFF
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=RelWithDebInfo
ifeq ($(CI),true)
CMAKE_FLAGS += -DDIRO_WERROR=ON
endif
# The browser test's driver, installed from tests/browser/package.json (a pinned version) into
# the build folder; it drives Debian's Chromium, never a browser of its own.
BROWSER_TEST := $(BUILD)/browser-test
# The sanitized build runs the browser test with the same playwright-core.
ASAN_FLAGS += -DDIRO_BROWSER_MODULES=$(abspath $(BROWSER_TEST))
TARGET_FLAGS := -DCMAKE_TOOLCHAIN_FILE=cmake/mipsel-linux-gnu.cmake -DDIRO_HOST_BUILD_DIR=$(abspath $(BUILD))

# Installs the packages named in $(1) that are missing.
define install_missing
	@missing=""; \
	for p in $(1); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  $(SUDO) apt-get update -q && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi
endef

.PHONY: all deps deps-target deps-browser configure build configure-target target build-target run test \
        test-pc test-target bench clean deps-asan configure-asan build-asan build-fuzz test-asan test-fuzz fuzz

all: build

deps:
	$(call install_missing,$(PACKAGES))

deps-target: deps
	$(call install_missing,$(TARGET_PACKAGES))

# Node.js with npm (the machine's own if it has one, else Debian's), then playwright-core.
deps-browser: deps
	@command -v npm >/dev/null 2>&1 || { $(SUDO) apt-get update -q && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q nodejs npm; }
	@if ! cmp -s tests/browser/package.json $(BROWSER_TEST)/package.json || \
	    [ ! -f $(BROWSER_TEST)/node_modules/playwright-core/package.json ]; then \
	  mkdir -p $(BROWSER_TEST) && cp tests/browser/package.json $(BROWSER_TEST)/ && \
	  cd $(BROWSER_TEST) && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm install --no-audit --no-fund \
	    --no-package-lock --ignore-scripts; \
	fi

configure: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

configure-target: deps-target
	cmake -S . -B $(TARGET_BUILD) $(CMAKE_FLAGS) $(TARGET_FLAGS)

# The image alone.
target: configure-target
	cmake --build $(TARGET_BUILD) -j $(JOBS) --target diro_rod
	@echo "plug-in image: $(TARGET_BUILD)/Diro_ROD.tap"

# The image, the firmware and the unit tests for the receiver's processor.
build-target: build configure-target
	cmake --build $(TARGET_BUILD) -j $(JOBS)

run: build
	$(BUILD)/receiver --serve 8080

test-pc: build deps-browser
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-target: build-target
	ctest --test-dir $(TARGET_BUILD) --output-on-failure -j $(JOBS)

# The sanitized build (clang, AddressSanitizer, UndefinedBehaviorSanitizer, libFuzzer coverage).
deps-asan: deps
	$(call install_missing,$(ASAN_PACKAGES))

configure-asan: deps-asan
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_FLAGS) $(ASAN_FLAGS)

build-asan: configure-asan
	cmake --build $(ASAN_BUILD) -j $(JOBS)

build-fuzz: configure-asan
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target fuzz_targets

# Each fuzz target briefly, from the committed seeds.
test-fuzz: build-fuzz
	ctest --test-dir $(ASAN_BUILD) -L fuzz --output-on-failure -j $(JOBS)

# Every test but the fuzz targets' (test-fuzz runs those), sanitized; the browser test with the
# playwright-core of the PC build.
test-asan: build-asan deps-browser
	ctest --test-dir $(ASAN_BUILD) -LE fuzz --output-on-failure -j $(JOBS)

fuzz: build-fuzz
	@fail=0; while read -r name max_len; do \
	  sh tests/fuzz/run.sh $(ASAN_BUILD)/fuzz/fuzz_$$name $$name $(FUZZ_SECONDS) $(abspath $(ASAN_BUILD))/fuzz $$max_len || fail=1; \
	done < $(ASAN_BUILD)/fuzz/targets.txt; exit $$fail

test: test-pc test-target test-fuzz

# Instruction counts (callgrind on the PC, qemu on the receiver's processor) and CPU times, side by
# side with the tools a user would pick instead; BENCH_CHANNELS=20 for a quicker run.
BENCH_CHANNELS ?= 200
bench: build-target
	python3 bench/run_bench.py --build $(BUILD) --target-build $(TARGET_BUILD) --channels $(BENCH_CHANNELS)

clean:
	rm -rf $(BUILD) $(TARGET_BUILD) $(ASAN_BUILD) demo-out
