BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= 2
PREFIX ?= $(HOME)/.local
MAKEFLAGS += --no-print-directory

.PHONY: all deps deps-fuzz deps-bench build run test test-asan fuzz bench clean format install

all: build

deps:
	@bash scripts/install-deps.sh scripts/packages.txt

deps-fuzz:
	@bash scripts/install-deps.sh scripts/packages-fuzz.txt

# Configured once; later builds re-run CMake by themselves when a CMakeLists changes.
$(BUILD)/build.ninja: | deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

$(ASAN_BUILD)/build.ninja: | deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DIMAGROVE_SANITIZE=ON >/dev/null

build: deps $(BUILD)/build.ninja
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
		echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set)."; \
		echo "To run Imagrove on a virtual X server:"; \
		echo "  xvfb-run -a -s '-screen 0 1280x1024x24' $(BUILD)/imagrove"; \
	else \
		$(BUILD)/imagrove; \
	fi

# Into $(PREFIX) (~/.local unless given): no root needed for a user's own copy.
install: build
	@cmake --install $(BUILD) --prefix "$(PREFIX)"
	@command -v update-desktop-database >/dev/null && \
		update-desktop-database "$(PREFIX)/share/applications" 2>/dev/null || true

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

# The whole tree built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps $(ASAN_BUILD)/build.ninja
	@cmake --build $(ASAN_BUILD) -j$(JOBS)
	@cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
		ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j$(JOBS)

# Every fuzz target for FUZZ_SECONDS (60 by default), built with clang in build-fuzz/.
fuzz: deps deps-fuzz
	@bash scripts/fuzz.sh

deps-bench:
	@bash scripts/install-deps.sh scripts/packages-bench.txt

# The photos are generated once into $(BUILD)/bench-photos and kept.
bench: build deps-bench
	@cmake --build $(BUILD) -j$(JOBS) --target benchmarks
	@$(BUILD)/bench_photos $(BUILD)/bench-photos
	@QT_QPA_PLATFORM=offscreen $(BUILD)/bench_listing
	@QT_QPA_PLATFORM=offscreen $(BUILD)/bench_display $(BUILD)/bench-photos
	@QT_QPA_PLATFORM=offscreen $(BUILD)/bench_display $(BUILD)/bench-photos large
	@$(BUILD)/bench_launch $(BUILD)/imagrove $(BUILD)/bench-photos

format:
	@find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) $(ASAN_BUILD) build-fuzz
