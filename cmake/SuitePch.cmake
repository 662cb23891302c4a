# Precompiled headers for the test run's builds (SUITE_PCH): the standard,
# Qt and GoogleTest headers that nearly every file includes are parsed once
# per kind of target instead of once per file.
#
# A precompiled header is only valid with the flags and macros it was made
# with (optimisation, -fPIC, the sanitizers, QT_NO_CAST_FROM_ASCII of the
# programs but not of the tests). The targets are therefore sorted into kinds
# that compile with the same flags, and each kind reuses the header of one
# small holder target linked like them:
#   program code or test program (SUITE_TEST_PROGRAM)
#   GoogleTest linked or not (GTEST_HAS_PTHREAD, gtest.h)
#   the highest Qt module seen: Core, Gui or Widgets (its include folders)
# Targets without Qt, or without suite::options, are left as they are.
# The header holds only headers outside the tree, none whose meaning
# depends on a target's own macros (Qt Test reads QT_TESTCASE_BUILDDIR, so
# it is left out). A mismatch all the same is caught by GCC's -Winvalid-pch,
# an error under SUITE_WERROR; a target that needs flags of its own is left
# out with the target property SUITE_NO_PCH.
#
# The header is forced into every file of a target, so a file that forgets
# to include one of its headers still compiles here; the developer's build
# (without SUITE_PCH) and clang-tidy still find it. clang-tidy reads this
# build's compile_commands.json: scripts/check-tidy.sh drops the forced
# include, so every file is checked as it is written.
option(SUITE_PCH "Precompile the common standard, Qt and GoogleTest headers (test run's builds)" OFF)

set(_suite_pch_std
  <algorithm> <array> <cmath> <cstddef> <cstdint> <cstdio> <cstdlib> <cstring> <functional> <limits> <map>
  <memory> <numbers> <optional> <set> <span> <string> <utility> <vector>)
set(_suite_pch_core
  <QByteArray> <QCoreApplication> <QDate> <QDateTime> <QDir> <QFile> <QFileInfo> <QJsonArray> <QJsonDocument>
  <QJsonObject> <QList> <QObject> <QProcess> <QRegularExpression> <QString> <QStringList> <QTemporaryDir>
  <QTimer> <QVariant>)
set(_suite_pch_gui
  <QColor> <QFont> <QFontMetricsF> <QGuiApplication> <QImage> <QPainter> <QPainterPath> <QPdfWriter> <QPen>)
set(_suite_pch_widgets
  <QApplication> <QCheckBox> <QComboBox> <QDialog> <QDialogButtonBox> <QGridLayout> <QHBoxLayout> <QLabel>
  <QLineEdit> <QListWidget> <QMessageBox> <QPushButton> <QVBoxLayout> <QWidget>)
set(_suite_pch_gtest <gtest/gtest.h>)

# Every target defined in DIR and the folders below it.
function(_suite_pch_targets dir out)
  get_property(targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    _suite_pch_targets("${sub}" more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# The kind of TARGET ("" when it gets no precompiled header): the targets it
# links directly and, through them, what their interfaces pass on.
function(_suite_pch_kind target out)
  set(${out} "" PARENT_SCOPE)
  get_target_property(direct ${target} LINK_LIBRARIES)
  if(NOT direct)
    return()
  endif()
  set(queue ${direct})
  set(seen "")
  while(queue)
    list(POP_FRONT queue lib)
    # Generator expressions (link-only dependencies among them) pass on no
    # compile flags that matter here.
    if(lib MATCHES "^\\$<" OR lib IN_LIST seen OR NOT TARGET ${lib})
      continue()
    endif()
    list(APPEND seen ${lib})
    get_target_property(aliased ${lib} ALIASED_TARGET)
    if(aliased)
      list(APPEND queue ${aliased})
      continue()
    endif()
    get_target_property(next ${lib} INTERFACE_LINK_LIBRARIES)
    if(next)
      list(APPEND queue ${next})
    endif()
  endwhile()
  if(NOT "suite_options" IN_LIST seen)
    return()
  endif()
  if("Qt6::Widgets" IN_LIST seen)
    set(qt widgets)
  elseif("Qt6::Gui" IN_LIST seen)
    set(qt gui)
  elseif("Qt6::Core" IN_LIST seen)
    set(qt core)
  else()
    return()
  endif()
  get_target_property(test ${target} SUITE_TEST_PROGRAM)
  if(test)
    set(kind test)
  else()
    set(kind program)
  endif()
  if("GTest::gtest" IN_LIST seen OR "GTest::GTest" IN_LIST seen)
    string(APPEND kind _gtest)
  endif()
  set(${out} ${kind}_${qt} PARENT_SCOPE)
endfunction()

# The holder of KIND's header: an object library of one empty file, linked
# and flagged as the targets of that kind are.
function(_suite_pch_holder kind)
  set(holder suite_pch_${kind})
  if(TARGET ${holder})
    return()
  endif()
  set(source ${CMAKE_BINARY_DIR}/suite_pch/${kind}.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT "// Holds the precompiled header of the ${kind} targets.\n")
  add_library(${holder} OBJECT EXCLUDE_FROM_ALL ${source})
  set_target_properties(${holder} PROPERTIES AUTOMOC OFF)
  string(REGEX MATCH "[a-z]+$" qt ${kind})
  set(headers ${_suite_pch_std} ${_suite_pch_core})
  if(qt STREQUAL "widgets")
    target_link_libraries(${holder} PRIVATE Qt6::Widgets)
    list(APPEND headers ${_suite_pch_gui} ${_suite_pch_widgets})
  elseif(qt STREQUAL "gui")
    target_link_libraries(${holder} PRIVATE Qt6::Gui)
    list(APPEND headers ${_suite_pch_gui})
  else()
    target_link_libraries(${holder} PRIVATE Qt6::Core)
  endif()
  target_link_libraries(${holder} PRIVATE suite::options)
  if(kind MATCHES "_gtest_")
    target_link_libraries(${holder} PRIVATE GTest::gtest)
    list(APPEND headers ${_suite_pch_gtest})
  endif()
  if(kind MATCHES "^test")
    set_target_properties(${holder} PROPERTIES SUITE_TEST_PROGRAM ON)
    if(SUITE_QUICK_TESTS)
      # As suite_quick_test_build compiles the test programs.
      target_compile_options(${holder} PRIVATE -O0 -Wno-subobject-linkage)
    endif()
  endif()
  target_precompile_headers(${holder} PRIVATE ${headers})
endfunction()

# AUTOMOC's mocs_compilation.cpp holds the moc output of a target's headers
# and is empty when none declares Q_OBJECT, Q_GADGET or Q_NAMESPACE (a
# source's own moc is included by that source). Loading the header into an
# empty file costs more than it saves, so those files go without it. AUTOMOC
# looks at the headers listed and at the header beside each source; so does
# this, and a wrong guess only costs time.
function(_suite_pch_skip_empty_moc target)
  get_target_property(automoc ${target} AUTOMOC)
  if(NOT automoc)
    return()
  endif()
  get_target_property(sources ${target} SOURCES)
  get_target_property(srcdir ${target} SOURCE_DIR)
  set(headers "")
  foreach(source IN LISTS sources)
    if(source MATCHES "^\\$<")
      continue()
    endif()
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY "${srcdir}")
    if(source MATCHES "\\.h$")
      list(APPEND headers "${source}")
    else()
      cmake_path(REPLACE_EXTENSION source LAST_ONLY ".h" OUTPUT_VARIABLE header)
      list(APPEND headers "${header}")
    endif()
  endforeach()
  list(REMOVE_DUPLICATES headers)
  foreach(header IN LISTS headers)
    if(EXISTS "${header}")
      file(STRINGS "${header}" declares REGEX "Q_(OBJECT|GADGET|NAMESPACE)")
      if(declares)
        return()
      endif()
    endif()
  endforeach()
  get_target_property(bindir ${target} BINARY_DIR)
  set_source_files_properties("${bindir}/${target}_autogen/mocs_compilation.cpp" TARGET_DIRECTORY ${target}
    PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
endfunction()

# Gives every target of the tree the precompiled header of its kind. Called
# once, after every folder is added.
function(suite_precompile_headers)
  if(NOT SUITE_PCH)
    return()
  endif()
  _suite_pch_targets("${CMAKE_SOURCE_DIR}" targets)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|OBJECT_LIBRARY)$" OR target MATCHES "^suite_pch_")
      continue()
    endif()
    get_target_property(own_flags ${target} SUITE_NO_PCH)
    if(own_flags)
      continue()
    endif()
    _suite_pch_kind(${target} kind)
    if(kind)
      _suite_pch_holder(${kind})
      target_precompile_headers(${target} REUSE_FROM suite_pch_${kind})
      _suite_pch_skip_empty_moc(${target})
    endif()
  endforeach()
endfunction()
