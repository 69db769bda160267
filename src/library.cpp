// The public interface of the conversion library.
#include "tvx2mxt/tvx2mxt.h"

namespace tvx2mxt {

std::string_view KindName(FindingKind kind) {
  switch (kind) {
    case FindingKind::kNotConverted:
      return "not converted";
    case FindingKind::kSemicolons:
      return "semicolons";
    case FindingKind::kWarning:
      return "warning";
    case FindingKind::kDropped:
      return "dropped";
  }
  return "";
}

std::string_view Version() { return "Build number 497"; }

}  // namespace tvx2mxt
