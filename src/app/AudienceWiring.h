// The Qt front end's audience view, with the settings handed to it as on every front end.
#pragma once

#include "app/ConfigureAudience.h"
#include "platform/qt/QtAudienceView.h"
