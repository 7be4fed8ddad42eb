// Base library stand-in: the few calls the tool makes beyond POSIX threads.
#pragma once

#include <pthread.h>
#include <sys/time.h>

// Time of day, the clock of all timers.
int sharedGetTimeofDay(struct timeval* tv, void* tz);

// Sleeps about `ms` milliseconds, multiplied by the process-wide time scale.
void shared_delay(unsigned int ms);

// Time scale for shared_delay (1.0 = real time). Tests shrink it so the
// seconds a device road waits pass in milliseconds.
void sharedSetTimeScale(double scale);
double sharedGetTimeScale();

// Version text of the base library.
const char* sharedVersionInfo();

// Frees a record handed out by the device library (allocated with malloc).
void shared_free(void* p);
