#include "driver/temp_files.h"

#include <gtest/gtest.h>
