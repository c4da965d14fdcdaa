# One-command set-up on a fresh Debian 12 machine: `make run` and `make test`.
#
# ARCH=arm64 builds, tests and packages the client for that architecture instead, in
# build-arm64: cross-compiled here, its unit tests and its packaged client run under
# qemu's user-mode emulation.
HOST_ARCH := $(shell dpkg --print-architecture)
ARCH ?= $(HOST_ARCH)
# Debian's GNU triplet of each architecture the client is cross-built for; each has its
# CMake toolchain file in cmake/.
CROSS_TRIPLET_arm64 := aarch64-linux-gnu
ifeq ($(ARCH),$(HOST_ARCH))
BUILD_DIR ?= build
else
CROSS_TRIPLET := $(CROSS_TRIPLET_$(ARCH))
ifeq ($(CROSS_TRIPLET),)
$(error ARCH=$(ARCH): the client is cross-built for arm64 only)
endif
BUILD_DIR ?= build-$(ARCH)
endif
SANITIZE_DIR ?= build-sanitize
JOBS ?= $(shell nproc)
SERVICE_HOST ?=
# Where `make install` puts the client.
PREFIX ?= /usr/local
# WERROR=1: compiler warnings fail the build (CI builds this way).
WERROR ?=

# Every Debian package the build, the tests and the client need.
PACKAGES := cmake g++ make pkg-config git \
	qt6-base-dev qt6-webengine-dev libqt6webenginecore6-bin qt6-translations-l10n qt6-pdf-dev \
	qt6-multimedia-dev libgl-dev libgtest-dev libgmock-dev nlohmann-json3-dev libcpp-httplib-dev \
	xvfb xauth xdotool icewm fonts-noto-cjk iproute2 clang-tidy qt6-svg-dev \
	file desktop-file-utils appstream dpkg-dev lintian openssl

# The libraries a cross build links, of the target architecture.
CROSS_LIBRARIES := qt6-base-dev qt6-webengine-dev qt6-pdf-dev qt6-multimedia-dev qt6-svg-dev libgl-dev \
	libgtest-dev libgmock-dev libcpp-httplib-dev

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: all deps configure build test run bench clean format lint check-sanitize install package

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
ifdef CROSS_TRIPLET
	./scripts/prepare-cross.sh $(ARCH) $(CROSS_TRIPLET) $(CROSS_LIBRARIES)
endif

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
		-DQUILLMARK_WERROR=$(if $(WERROR),ON,OFF) \
		-DQUILLMARK_SERVICE_HOST=$(or $(SERVICE_HOST),127.0.0.1) \
		$(if $(CROSS_TRIPLET),-DCMAKE_TOOLCHAIN_FILE=cmake/$(CROSS_TRIPLET).cmake) >/dev/null

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# A cross build runs what runs under emulation: the unit tests and the package's checks.
test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 600 \
		$(if $(CROSS_TRIPLET),-L 'unit|packaging')

install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# BUILD_DIR/quillmark-erp_<version>_<arch>.deb; SERVICE_HOST=... builds it for that host,
# ARCH=arm64 for that architecture (build-arm64/quillmark-erp_<version>_arm64.deb).
package: build
	cd $(BUILD_DIR) && cpack -G DEB

run: build
	./scripts/run-client.sh $(BUILD_DIR)

bench: build
	cmake --build $(BUILD_DIR) --target benchmarks -j $(JOBS)
	./scripts/run-benchmarks.sh $(BUILD_DIR)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

# The checks of .clang-tidy over every source file of the build (tests included).
lint: configure
	./scripts/run-clang-tidy.sh $(BUILD_DIR) $(JOBS)

# The portable logic, the OS services and the demo service under AddressSanitizer and
# UndefinedBehaviorSanitizer: their unit tests (label "unit"), built in a tree of their own.
check-sanitize: deps
	@cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DQUILLMARK_SANITIZE=ON \
		-DQUILLMARK_WERROR=$(if $(WERROR),ON,OFF) >/dev/null
	cmake --build $(SANITIZE_DIR) -j $(JOBS) --target core_tests platform_tests demo_service_tests
	cd $(SANITIZE_DIR) && ctest -L unit --output-on-failure -j $(JOBS) --timeout 600

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR)
