#pragma once

// A half-written temporary file must not outlive an interrupt. While a path is set, SIGINT,
// SIGTERM and SIGHUP remove that file and end the program with status 128 + the signal's
// number; once set, they end it that way without a path too. A signal that was ignored when
// the program started (nohup, a background job) stays ignored.
//
// The handler reads the path as it is when the signal comes: it must stay valid, and its
// characters in place, until the path is set again (nullptr for none).
void RemoveOnSignal(const char* path);
