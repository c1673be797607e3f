# Set-up and everyday commands; see README.md.
JOBS ?= $(shell nproc)
RELEASE := build/release
ASAN := build/asan
TSAN := build/tsan
FUZZ := build/fuzz
VST3_DIR := $(HOME)/.vst3
DEMO_WAV := build/demo.wav
DEMO_PNG := build/demo.png

.PHONY: deps build build-asan build-tsan build-fuzz install run test bench clean format editor-picture

deps:
	@bash scripts/install-deps.sh

$(RELEASE)/CMakeCache.txt:
	@cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release >/dev/null

$(ASAN)/CMakeCache.txt:
	@cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNEL_SANITIZE=ON >/dev/null

$(TSAN)/CMakeCache.txt:
	@cmake -S . -B $(TSAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNEL_TSAN=ON >/dev/null

$(FUZZ)/CMakeCache.txt:
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNEL_FUZZ=ON >/dev/null

build: deps $(RELEASE)/CMakeCache.txt
	@cmake --build $(RELEASE) -j $(JOBS)

build-asan: deps $(ASAN)/CMakeCache.txt
	@cmake --build $(ASAN) -j $(JOBS)

# ThreadSanitizer: only the tests where the audio, user-interface and host threads meet.
TSAN_TARGETS := stress_threads unit_core
TSAN_TESTS := ^(ThreadsStress|ProgramStoreThreads)\.

build-tsan: deps $(TSAN)/CMakeCache.txt
	@cmake --build $(TSAN) -j $(JOBS) --target $(TSAN_TARGETS)

build-fuzz: deps $(FUZZ)/CMakeCache.txt
	@cmake --build $(FUZZ) -j $(JOBS)

install: build
	@mkdir -p $(VST3_DIR)
	@rm -rf $(VST3_DIR)/Varnel.vst3.tmp
	@cp -r $(RELEASE)/Varnel.vst3 $(VST3_DIR)/Varnel.vst3.tmp
	@rm -rf $(VST3_DIR)/Varnel.vst3
	@mv $(VST3_DIR)/Varnel.vst3.tmp $(VST3_DIR)/Varnel.vst3
	@echo "Installed $(VST3_DIR)/Varnel.vst3"

# The demo phrase on a factory string machine, its level set for a dense phrase with the pedal.
DEMO_SOUND := --program "String Machine" --set "Final=0.18"

run: install
	@$(RELEASE)/varnel-render $(VST3_DIR)/Varnel.vst3 --demo $(DEMO_SOUND) --out $(DEMO_WAV) --png $(DEMO_PNG)

test: build build-asan build-tsan build-fuzz
	@cd $(RELEASE) && ctest --output-on-failure -j $(JOBS)
	@cd $(ASAN) && ctest --output-on-failure -j $(JOBS)
	@cd $(TSAN) && ctest --output-on-failure -j $(JOBS) -R '$(TSAN_TESTS)'
	@bash scripts/run-fuzzers.sh $(FUZZ)
	@bash scripts/run-benchmarks.sh $(RELEASE)

# The editor as a musician first sees it (default size, first factory program), for the README.
editor-picture: build
	@mkdir -p $(RELEASE)/test-home
	@HOME=$(CURDIR)/$(RELEASE)/test-home XDG_CONFIG_HOME=$(CURDIR)/$(RELEASE)/test-home/.config \
	  $(RELEASE)/varnel-panel-picture $(RELEASE)/Varnel.vst3/Contents/Resources docs/editor.png --scale 0.5 --selector-menu
	@echo "Wrote docs/editor.png"

bench: build
	@bash scripts/run-benchmarks.sh $(RELEASE)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build
