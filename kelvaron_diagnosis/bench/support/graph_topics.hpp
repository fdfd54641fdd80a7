#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// The large-graph benchmark's topic names, shared by its publisher process and its threshold
// file: the file lists the first ones, the publishers cover them and many more.
inline std::string graphTopic(std::size_t index)
{
  char name[48];
  std::snprintf(name, sizeof(name), "/graph/sensor_%04zu/points", index);
  return name;
}
