#include "provider/request/text/Trim.h"

namespace qrv::cim {

std::string_view trim(std::string_view text, std::string_view set, TrimSide side) {
  if (side != TrimSide::Right) {
    const std::size_t first = text.find_first_not_of(set);
    text.remove_prefix(first == std::string_view::npos ? text.size() : first);
  }
  if (side != TrimSide::Left) {
    const std::size_t last = text.find_last_not_of(set);
    text = last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
  }
  return text;
}

}  // namespace qrv::cim
