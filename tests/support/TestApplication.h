#pragma once

// Widget tests need an application object. EnsureApplication makes one on the offscreen
// platform (unless QT_QPA_PLATFORM says otherwise) when the first test runs, not when the tests
// are only listed, and it goes at the end of the test run, before the exit handlers.
void EnsureApplication();
