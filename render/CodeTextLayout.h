// Layout of a chapter, section or category into fixed-width lines with line kinds.
#pragma once
