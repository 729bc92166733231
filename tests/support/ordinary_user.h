#pragma once

namespace nomaro::test {

// Root is refused nothing, so a test of a refusal means nothing when run as root. As root this
// runs the current test again in a child process as the ordinary user "nobody" (from a copy of
// the test program that user may run wherever the build folder lies), expects it to pass and
// returns false; as any other user it returns true and the caller goes on with its checks.
//
//   if (!test::checksRunAsOrdinaryUser())
//       return;
bool checksRunAsOrdinaryUser();

} // namespace nomaro::test
