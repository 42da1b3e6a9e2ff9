# Set-up and everyday commands. Everything builds out of tree with CMake and Ninja.

BUILD      ?= build
SANITIZE   ?= build-sanitize
BENCHDIR   ?= build-bench
FUZZDIR    ?= build-fuzz
JOBS       ?= 2
EXAMPLE    ?= demo

# What building and testing needs on a fresh Debian 12 machine.
BUILD_PACKAGES := cmake ninja-build g++ clang libgtest-dev libgmock-dev \
                  libcgal-dev libgmp-dev libmpfr-dev librsvg2-bin netpbm
BENCH_PACKAGES := libbenchmark-dev libpolyclipping-dev
FUZZ_PACKAGES  := clang libclang-rt-14-dev

.PHONY: all deps build run test sanitize bench fuzz-smoke format format-check clean

all: build

deps:
	@tools/ensure-packages.sh $(BUILD_PACKAGES)

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# Translates the bundled example design in a copy under the build directory and draws it.
run: build
	@rm -rf $(BUILD)/example && mkdir -p $(BUILD)/example
	@cp -r examples/$(EXAMPLE) $(BUILD)/example/$(EXAMPLE)
	$(BUILD)/bs2vnf nomerge $(BUILD)/example/$(EXAMPLE) $(EXAMPLE)
	@echo
	$(BUILD)/tools/vnfview $(BUILD)/example/$(EXAMPLE)/$(EXAMPLE)_V4.vnf $(BUILD)/example/pictures
	@echo
	@echo "Neutral file: $(BUILD)/example/$(EXAMPLE)/$(EXAMPLE)_V4.vnf"
	@echo "Run log:      $(BUILD)/example/$(EXAMPLE)/$(EXAMPLE)_V4.log"
	@echo "Pictures:     $(BUILD)/example/pictures/*.svg"

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake -S . -B $(SANITIZE) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBS2VNF_SANITIZE=ON
	cmake --build $(SANITIZE) -j $(JOBS)
	cd $(SANITIZE) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j $(JOBS)

# Under ThreadSanitizer: the kernel's unions on two threads at once with the boolean and
# containment tests they lean on, and plane layers converted side by side.
TSAN       ?= build-tsan
.PHONY: tsan
tsan: deps
	cmake -S . -B $(TSAN) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBS2VNF_TSAN=ON
	cmake --build $(TSAN) -j $(JOBS) --target geometry_tests prepare_tests
	TSAN_OPTIONS=halt_on_error=1 $(TSAN)/tests/geometry_tests \
		--gtest_filter='BooleanRandom.*:BooleanCollections.*:PolygonContainment.*'
	TSAN_OPTIONS=halt_on_error=1 $(TSAN)/tests/prepare_tests \
		--gtest_filter='NegativePlanes.LayersConvertedSideBySide*'

bench: deps
	@tools/ensure-packages.sh $(BENCH_PACKAGES)
	cmake -S . -B $(BENCHDIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DBS2VNF_BENCH=ON -DBS2VNF_TESTS=OFF
	cmake --build $(BENCHDIR) -j $(JOBS)
	cmake --build $(BENCHDIR) --target run-benchmarks

fuzz-smoke: deps
	@tools/ensure-packages.sh $(FUZZ_PACKAGES)
	CXX=clang++ cmake -S . -B $(FUZZDIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DBS2VNF_FUZZ=ON -DBS2VNF_TESTS=OFF
	cmake --build $(FUZZDIR) -j $(JOBS)
	cmake --build $(FUZZDIR) --target fuzz-smoke

format:
	git ls-files '*.h' '*.cpp' | xargs clang-format -i

format-check:
	@tools/ensure-packages.sh clang-format
	git ls-files '*.h' '*.cpp' | xargs clang-format --dry-run -Werror

clean:
	rm -rf $(BUILD) $(SANITIZE) $(BENCHDIR) $(FUZZDIR)

# The differential tests of the polygon booleans against the exact peer on 100,000 seeded
# cases (`make test` runs a few thousand of them).
.PHONY: oracle
oracle: build
	cd $(BUILD) && BS2VNF_ORACLE_CASES=100000 ctest --output-on-failure -j $(JOBS) -R BooleanOracle
