// Random user sessions against a model of the archive. Without settings a short fixed set of
// seeds; scripts/soak.sh sets SOAK_SESSIONS, SOAK_ACTIONS, SOAK_SEED (the first seed) and
// SOAK_AVOID (kinds of action left out, none unless given).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Session.h"
#include "TestKit.h"

namespace {

std::string Env(const char* Name, const std::string& Default)
{
    char value[256] = {};
    const DWORD n = GetEnvironmentVariableA(Name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : Default;
}

TEST(Soak, RandomSessionsKeepWhatTheUserDid)
{
    // The short soak of every test run: seeds that play each kind of action and close.
    const int sessions = std::stoi(Env("SOAK_SESSIONS", "6"));
    const int actions = std::stoi(Env("SOAK_ACTIONS", "25"));
    const unsigned seed = static_cast<unsigned>(std::stoul(Env("SOAK_SEED", "1")));
    const std::string avoid = Env("SOAK_AVOID", "none");
    // A session's limit: far past what its actions take, so that only a hung program reaches it.
    const int limit = std::stoi(Env("SOAK_SESSION_LIMIT_S", std::to_string(60 + 12 * actions)));
    soak::Avoid a;
    a.closeTypeahead = avoid.find("close-typeahead") != std::string::npos;
    a.renameAtClose = avoid.find("rename-at-close") != std::string::npos;
    a.keysPopup = avoid.find("keys-popup") != std::string::npos;
    a.blankTitles = avoid.find("blank-titles") != std::string::npos;
    a.namedTree = avoid.find("named-tree") != std::string::npos;
    a.kill = avoid.find("kill") != std::string::npos;

    int divergences = 0;
    double shortest = 1e9, longest = 0, total = 0;
    for (int i = 0; i < sessions; ++i) {
        const unsigned s = seed + static_cast<unsigned>(i);
        const soak::Outcome out = soak::RunSession(s, actions, a, limit);
        shortest = std::min(shortest, out.seconds);
        longest = std::max(longest, out.seconds);
        total += out.seconds;
        // One line per session compared, which soak.sh counts.
        std::printf("soak: seed %u compared in %.1f s: %d divergences%s\n", s, out.seconds,
                    static_cast<int>(out.divergences.size()),
                    out.stopped ? " (the session stopped at the last)" : "");
        if (!out.divergences.empty()) {
            divergences += static_cast<int>(out.divergences.size());
            std::string log, all;
            for (const std::string& line : out.log)
                log += "  " + line + "\n";
            for (const std::string& d : out.divergences)
                all += d + "\n";
            const std::string file = testkit::OutputDir() + "soak-" + std::to_string(s) + ".log";
            testkit::WriteFileBytes(file, "seed " + std::to_string(s) + "\n" + log + all);
            for (const std::string& d : out.divergences)
                std::printf("soak: seed %u: %s (log: %s)\n", s, d.substr(0, d.find('\n')).c_str(), file.c_str());
            ADD_FAILURE() << "seed " << s << "\n" << log << all;
        }
        std::fflush(stdout);
    }
    std::printf("soak: %.1f-%.1f s a session, %.1f s on average\n", shortest, longest, total / std::max(sessions, 1));
    std::printf("soak: %d sessions, %d actions each, seed %u: %d divergences\n", sessions, actions, seed, divergences);
    std::fflush(stdout);
}

} // namespace
