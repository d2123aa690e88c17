#pragma once

#include <string>

#include "link/hid_platform.h"
#include "link/scanner_identity.h"

namespace lumiq::zrctl {

// The listing's reading logic is the link's, shared with the window's
// chooser; the words zrctl prints for it are its own.
using lumiq::Identify;
using lumiq::PortLess;
using lumiq::ScannerIdentity;
using lumiq::SortedInterfaces;

// Why an interface could not be read, in a few words for a list
// ("in use by another program", "no permission").
std::string DescribeUnreadable(OpenFailure failure);

}  // namespace lumiq::zrctl
