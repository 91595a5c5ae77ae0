# fish completion for vorla-setting: its options, profiles (*.json) for
# --apply and firmware images (*.bin) for --upgrade.

# Directories to go into, and the files whose names end in the suffix
# (__fish_complete_suffix would offer every other file after them).
function __vorla_setting_files -a suffix
    # The token may be "--apply=NAME": the name alone.
    set -l name (commandline -ct | string replace -r -- '^--[^=]*=' '')
    __fish_complete_path "$name" | string match -r -- "^[^\t]*(?:/|\\$suffix)(?:\t.*)?\$"
end

complete -c vorla-setting -f
complete -c vorla-setting -s h -l help -d 'Print the options, the exit statuses and examples'
complete -c vorla-setting -s v -l version -d 'Print the version and the licence'
complete -c vorla-setting -l info -d 'Print the firmware version, paddle setting and LED colours'
complete -c vorla-setting -l json -d 'With --info: print them as a profile'
complete -c vorla-setting -l export -r -F -d "Write the wheel's settings to a profile"
complete -c vorla-setting -l apply -x -a '(__vorla_setting_files .json)' -d 'Preview a profile on the wheel'
complete -c vorla-setting -l store -d 'With --apply: store the profile in the wheel'
complete -c vorla-setting -l upgrade -x -a '(__vorla_setting_files .bin)' -d 'Upload a firmware image to the wheel'
complete -c vorla-setting -l yes -d 'With --upgrade: upgrade without asking'
