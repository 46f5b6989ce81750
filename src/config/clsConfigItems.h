// Placeholder until the store lands.
#pragma once
