// Helpers shared by the test binaries.
#pragma once
