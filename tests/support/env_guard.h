// Sets environment variables for one test and puts them back afterwards; the
// platform's clock and regional settings are read anew both times.
#pragma once

#include <stdlib.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/regional.h"

namespace testsupport {

class EnvGuard {
  public:
    EnvGuard() = default;
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

    void set(const char* name, const char* value) {
        const char* old = std::getenv(name);
        saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
        plat::reloadRegional();
        plat::resetClock();
    }
    ~EnvGuard() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second)
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                ::unsetenv(it->first.c_str());
        }
        plat::reloadRegional();
        plat::resetClock();
    }

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace testsupport
