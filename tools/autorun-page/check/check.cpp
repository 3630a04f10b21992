#include "check/check.h"

#include "check/checks.h"
#include "check/findings.h"
#include "check/medium.h"

std::string CheckMedium(const BaseString& launcher, bool& has_error) {
    Findings findings;
    Medium medium(findings);
    CheckBlocks(medium, findings);
    CheckKeys(medium, findings);
    CheckLinks(medium, launcher, findings);
    CheckExtensions(medium, findings);
    CheckWindows(medium, findings);
#ifndef _WIN32
    CheckLinuxFiles(launcher, findings);
#endif
    CheckSignatures(findings);
    has_error = findings.HasError();
    return findings.Lines();
}
