// Logs of the recording stand-ins for the scene steps and the view.
#pragma once

#include <string>
#include <utility>
#include <vector>

extern std::vector<std::string> g_stepLog;
extern std::vector<std::pair<int, int>> g_resizeLog;
