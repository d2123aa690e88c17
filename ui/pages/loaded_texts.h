#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace lumiq::ui {

// The bytes each text control was loaded with, beside what it showed for
// them (`Shown`: the binding's screen text). A value shown as read and not
// edited goes back byte for byte, even when it was not valid GBK; once the
// user changed what the control shows, the binding encodes the new text.
template <typename Shown>
class LoadedTexts {
 public:
  void Remember(int id, std::string_view bytes, Shown shown) {
    loaded_[id] = Loaded{std::string(bytes), std::move(shown)};
  }

  // The loaded bytes while the control still shows `shown`, else nullptr.
  const std::string* Unchanged(int id, const Shown& shown) const {
    const auto loaded = loaded_.find(id);
    if (loaded == loaded_.end() || loaded->second.shown != shown) return nullptr;
    return &loaded->second.bytes;
  }

 private:
  struct Loaded {
    std::string bytes;
    Shown shown;
  };
  std::map<int, Loaded> loaded_;
};

}  // namespace lumiq::ui
