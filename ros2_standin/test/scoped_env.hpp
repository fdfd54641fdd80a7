#ifndef ROS2_STANDIN__TEST__SCOPED_ENV_HPP_
#define ROS2_STANDIN__TEST__SCOPED_ENV_HPP_

#include <cstdlib>
#include <optional>
#include <string>

namespace standin_test
{

// Sets (or, with nullptr, removes) an environment variable for one scope.
class ScopedEnv
{
public:
  ScopedEnv(const char * name, const char * value) : name_(name)
  {
    if (const char * old = std::getenv(name)) {
      previous_ = old;
    }
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv()
  {
    if (previous_) {
      setenv(name_.c_str(), previous_->c_str(), 1);
    } else {
      unsetenv(name_.c_str());
    }
  }
  ScopedEnv(const ScopedEnv &) = delete;
  ScopedEnv & operator=(const ScopedEnv &) = delete;

private:
  std::string name_;
  std::optional<std::string> previous_;
};

}  // namespace standin_test

#endif  // ROS2_STANDIN__TEST__SCOPED_ENV_HPP_
