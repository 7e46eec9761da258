#pragma once

#include <functional>
#include <string>

namespace parvex::testing {

/// What a function run in a child process gave back.
struct TChildRun {
    /// False when the child's setup gave up (the test should skip); Output then says why.
    bool Ran = false;
    /// The text the body returned, or the setup's reason for giving up.
    std::string Output;
};

/// Runs `body` in a forked child after `setup`, which may change the child's privileges, limits
/// or mounts and returns an empty text when it succeeded, or why it could not. The body's text
/// travels back through a pipe. A child that dies without answering fails the calling test.
TChildRun RunInChild(const std::function<std::string()>& setup,
                     const std::function<std::string()>& body);

/// A setup for RunInChild: gives up root's privileges for the user and group 65534.
std::string DropPrivileges();

} // namespace parvex::testing
