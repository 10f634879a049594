#pragma once
// The options of "labmachine plant".

#include "Lab.h"

#include <string>
#include <vector>

namespace LabMachineTool {

struct PlantRequest {
    std::vector<std::wstring> components;
    Lab::PlantOptions options;
};

// Throws Lab::Error for an unknown option.
PlantRequest ParsePlantArguments(const std::vector<std::wstring>& arguments);

extern const char kPlantUsage[];

}  // namespace LabMachineTool
