#pragma once
// A lab service under an exact name the code under test looks for (such as
// "MSSQLSERVER"), started at once and running until the code under test
// stops it or the test ends; cleaned up as LabService is.

#include "support/LabService.h"

class RunningLabService : public LabService {
public:
    explicit RunningLabService(const std::wstring& name) : LabService(ExactName{name}, L"") { Start(); }
};
