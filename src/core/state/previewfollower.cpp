#include "previewfollower.h"

// Out of line so the interface has one home for its type information.
PreviewFollower::~PreviewFollower() = default;
