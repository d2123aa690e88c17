#include "tools/zrctl/scanner_identity.h"

namespace lumiq::zrctl {

std::string DescribeUnreadable(OpenFailure failure) {
  switch (failure) {
    case OpenFailure::kInUse:
      return "in use by another program";
    case OpenFailure::kPermissionDenied:
      return "no permission";
    case OpenFailure::kNoAnswer:
      return "no answer to the handshake";
    case OpenFailure::kNotFound:
      return "gone (unplugged?)";
    default:
      return "could not be opened";
  }
}

}  // namespace lumiq::zrctl
