// Model of the alphabetic indexes and tables: letter groups holding trees of terms.
#pragma once
