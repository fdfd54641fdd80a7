#ifndef ROSIDL_RUNTIME_CPP__TRAITS_HPP_
#define ROSIDL_RUNTIME_CPP__TRAITS_HPP_

#include <type_traits>

namespace rosidl_generator_traits
{

template <typename T>
inline const char * data_type();

template <typename T>
inline const char * name();

template <typename T>
struct is_message : std::false_type
{
};

}  // namespace rosidl_generator_traits

#endif  // ROSIDL_RUNTIME_CPP__TRAITS_HPP_
