// A connection system that always reports the machine online: for tests whose faults
// are the station's or the disk's, not the machine's.
#pragma once

#include "app/ConnectionProbe.h"

class AlwaysConnected : public app::ConnectionSystem {
 public:
  bool IsConnected() override { return true; }
  void AttemptConnect() override {}
};
