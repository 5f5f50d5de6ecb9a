// The mutex by which a second saver process finds that one runs already;
// the tests look for it too.
#pragma once

namespace meandra {

constexpr char InstanceMutexName[] = "Screensaver_%G^H&J*K(:";

}  // namespace meandra
