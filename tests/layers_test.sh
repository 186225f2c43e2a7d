#!/usr/bin/env bash
# The layer check passes on the sources as they are and fails on a wrong-way include:
# a floor that includes a subsystem, a subsystem that includes the shell, and an OS header
# in the core.
set -euo pipefail
source_dir=$1
check=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake -DSOURCE_DIR="$source_dir/src" -P "$check" >/dev/null
for wrong in 'base/status_line.cpp:#include "labels/label_syntax.h"' \
             'labels/line_road.cpp:#include "shell/application.h"' \
             'programs/program_file.cpp:#include "labels/list_file.h"' \
             'common/text.cpp:#include "platform/files.h"' \
             'labels/work_list.cpp:#include <unistd.h>' \
             'fields/field_selector.cpp:#include <QString>'; do
  file=${wrong%%:*}
  rm -rf "$work/src" && cp -r "$source_dir/src" "$work/src"
  printf '%s\n' "${wrong#*:}" >> "$work/src/$file"
  if cmake -DSOURCE_DIR="$work/src" -P "$check" >/dev/null 2>&1; then
    echo "not caught: ${wrong#*:} in $file"
    exit 1
  fi
done
echo "layer check: clean sources pass, six wrong-way includes are caught"
