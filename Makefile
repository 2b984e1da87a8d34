# Front door of the build. Every target first installs missing Debian packages.
#   make run        build and start the program (the headless tour without a display)
#   make test       build and run every test (CTest)
#   make bench      build and run the benchmarks (Release; medians of BENCH_REPS runs)
#   make test-asan  build and run the tests under AddressSanitizer + UBSan
#   make fuzz       build the libFuzzer targets with clang and run each briefly
#   make format     clang-format the tree
# WERROR=1 turns warnings into errors (CI).

BUILD ?= build
JOBS ?= $(shell nproc)
WERROR ?= 0
CMAKE_FLAGS = -G Ninja -DQV_WERROR=$(if $(filter 1,$(WERROR)),ON,OFF)
FUZZ_SECONDS ?= 60
# Benchmarks repeat interleaved and report the median; BENCH_FILTER picks some by name.
BENCH_REPS ?= 5
BENCH_FILTER ?= .
BENCH_ARGS = --benchmark_repetitions=$(BENCH_REPS) --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true --benchmark_filter='$(BENCH_FILTER)'

.PHONY: all run test bench test-asan fuzz format deps clean

all: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

deps:
	@scripts/install-deps

run: all
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then $(BUILD)/varnoth; else $(BUILD)/tools/varnoth-tour out/tour; fi

test: all
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench:
	@scripts/install-deps bench
	cmake -S . -B build-bench $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_BENCH=ON >/dev/null
	cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench/qv_bench_*; do [ -x "$$b" ] && "$$b" $(BENCH_ARGS) || exit 1; done
	@echo "== the kernel benchmarks again at the SSE2 width (QV_SIMD=plain|sse2|avx2 caps it)"
	@for b in draw raster gdi; do QV_SIMD=sse2 build-bench/bench/qv_bench_$$b $(BENCH_ARGS) || exit 1; done

test-asan:
	@scripts/install-deps asan
	cmake -S . -B build-asan $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON >/dev/null
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

fuzz:
	@scripts/install-deps fuzz
	CC=clang CXX=clang++ cmake -S . -B build-fuzz $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_FUZZ=ON >/dev/null
	cmake --build build-fuzz -j $(JOBS)
	@mkdir -p build-fuzz/artifacts
	@for f in build-fuzz/fuzz/fuzz_*; do [ -x "$$f" ] || continue; n=$$(basename $$f); \
	  mkdir -p build-fuzz/corpus/$$n; \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
	  "$$f" -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=build-fuzz/artifacts/$$n- \
	    build-fuzz/corpus/$$n fuzz/corpus/$$n || exit 1; done

format:
	find src tests bench tools fuzz plugins -name '*.h' -o -name '*.cpp' 2>/dev/null | xargs -r clang-format -i

clean:
	rm -rf build build-bench build-asan build-fuzz
