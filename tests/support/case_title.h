// Names the cases of a parameterized test after the Title of their parameter.
#pragma once

#include <gtest/gtest.h>

#include <string>

struct CaseTitle {
  template <class Parameter>
  std::string operator()(const testing::TestParamInfo<Parameter>& parameter_info) const {
    return parameter_info.param.Title;
  }
};
