// The state of an action run, written by the worker just before each status
// message and read by the main window while it handles the message.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

extern std::string GMachineName;   // caption of the queue item being processed
extern int32_t GItemIndex;         // its index in the queue
extern bool GStatusError;          // the status being sent is a failure
extern std::string GDefaultFolder; // the default folder taken for this machine
extern bool GAbortOnFailure;       // the "Abort on Failure" setting taken for this machine

// Held by a worker from writing the state until the window has handled its
// message, so that a stopped run still finishing its machine cannot write over
// the state of the run that follows it. The window never takes it.
std::mutex& GRunStateLock();
