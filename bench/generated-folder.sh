# Sourced by the tree generators: makes DIR ready for a generated tree. A folder that holds the
# generator's marker is ours and is emptied; any other folder that is not empty is refused, so
# that a mistyped argument never deletes a user's files.
#   prepare_generated_folder DIR MARKER GENERATOR
prepare_generated_folder() {
  local dir=$1 marker=$2 generator=$3
  if [ -e "$dir" ]; then
    if [ -e "$dir/$marker" ]; then
      rm -rf "$dir"
    elif [ -n "$(ls -A "$dir")" ]; then
      echo "$generator: $dir exists and was not made by it; refusing to overwrite it" >&2
      exit 2
    fi
  fi
  mkdir -p "$dir"
  mkdir "$dir/$marker" # an empty folder: no tool reports it, and it marks the folder as ours
}
