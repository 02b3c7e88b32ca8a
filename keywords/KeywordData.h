// Keyword data sets: code keywords, irregular plurals and short descriptions.
#pragma once
