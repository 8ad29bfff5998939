BUILD ?= build
JOBS ?= 2

.PHONY: all deps configure build run test bench clean format

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
		echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set)."; \
		echo "To run Imagrove on a virtual X server:"; \
		echo "  xvfb-run -s '-screen 0 1280x1024x24' $(BUILD)/imagrove"; \
		exit 1; \
	fi
	@$(BUILD)/imagrove

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

bench: build
	@cmake --build $(BUILD) -j$(JOBS) --target benchmarks
	@for b in bench_listing bench_display; do QT_QPA_PLATFORM=offscreen $(BUILD)/$$b || exit 1; done

format:
	@find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD)
