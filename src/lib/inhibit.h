// Keeping the machine awake: a logind inhibitor lock held for as long as the object lives.
#pragma once

#include <string_view>

namespace Velkor {

/// Asks logind (org.freedesktop.login1 on the system bus) for a "block" inhibitor of `what`
/// ("sleep:idle") and holds it until destruction, at whatever ending. When logind cannot be
/// reached, one "W: " line and nothing is held. Move-only.
class Inhibitor {
   public:
    Inhibitor(std::string_view what, std::string_view who, std::string_view why);
    ~Inhibitor();
    Inhibitor(Inhibitor&& other) noexcept;
    Inhibitor& operator=(Inhibitor&& other) noexcept;
    Inhibitor(const Inhibitor&) = delete;
    Inhibitor& operator=(const Inhibitor&) = delete;
    /// True while logind holds the lock for us.
    bool held() const { return fd_ >= 0; }

   private:
    int fd_ = -1;
};

}  // namespace Velkor
