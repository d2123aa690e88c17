#pragma once

// Where the permission messages send the user for the scanner's udev rule.
// Macros, so that the messages stay single string literals.

// Where the Debian package installs the rule (and applies it at once).
#define LUMIQ_PACKAGED_UDEV_RULE "/usr/lib/udev/rules.d/70-lumiq-scanner.rules"
// The rule in the source tree, for a build that is not installed as a
// package: the user copies it by hand.
#define LUMIQ_SOURCE_UDEV_RULE "packaging/70-lumiq-scanner.rules"

namespace lumiq::res {

// A package build (LUMIQ_PACKAGE=ON) has no source tree to point to.
#ifdef LUMIQ_PACKAGE_BUILD
inline constexpr bool kSourceBuild = false;
#else
inline constexpr bool kSourceBuild = true;
#endif

}  // namespace lumiq::res
