#pragma once
// Builders of the installer log's expected messages for the steps that several
// tests meet: Devsweep's removal passes and the pieces of a Launchpod run.

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

void Append(Lines& lines, const Lines& more);

// One device as a removal target's walk meets it.
struct Met
{
    Lines compatibleIds; // as read, in order
    bool matches;        // has the target's compatible id: removed
};

// Devsweep's three passes over its two targets, given what each pass meets.
Lines DevsweepPassLines(const std::string& id, const std::vector<std::vector<Met>>& firstTarget,
                        const std::vector<std::vector<Met>>& secondTarget);

// A whole Devsweep run for a command line that names no drive, where the first target
// meets the given devices in the first pass only and the second target meets nothing.
Lines DevsweepWithoutDriveLines(const std::string& commandLine, const std::string& id,
                                const std::vector<Met>& firstPass);

extern const Met kMassStorageMet; // the modem's mass-storage interface, removed
