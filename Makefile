# One-command set-up on a fresh Debian 12 machine: `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
SERVICE_HOST ?=

# Every Debian package the build, the tests and the client need.
PACKAGES := cmake g++ make pkg-config git \
	qt6-base-dev qt6-webengine-dev libqt6webenginecore6-bin qt6-translations-l10n \
	libgl-dev libgtest-dev libgmock-dev nlohmann-json3-dev libcpp-httplib-dev \
	xvfb xauth fonts-noto-cjk iproute2 desktop-file-utils

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: all deps configure build test run bench clean format

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
		dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
		echo "Installing:$$missing"; \
		$(SUDO) apt-get update -qq && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		$(if $(SERVICE_HOST),-DQUILLMARK_SERVICE_HOST=$(SERVICE_HOST)) >/dev/null

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 600

run: build
	./scripts/run-client.sh $(BUILD_DIR)

bench: build
	cmake --build $(BUILD_DIR) --target benchmarks -j $(JOBS)
	./scripts/run-benchmarks.sh $(BUILD_DIR)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR)
