# fish completion for tovalo-cli

set -l commands scan dups cleanup ocr trash parse search index query help

complete -c tovalo-cli -f
complete -c tovalo-cli -n "not __fish_seen_subcommand_from $commands" -l help -s h -d 'List the commands'
complete -c tovalo-cli -n "not __fish_seen_subcommand_from $commands" -l version -d 'Print the version'

complete -c tovalo-cli -n "not __fish_seen_subcommand_from $commands" -a scan -d 'Read the catalog; one JSON line per record'
complete -c tovalo-cli -n "not __fish_seen_subcommand_from $commands" -a dups -d 'Find identical files'
complete -c tovalo-cli -n "not __fish_seen_subcommand_from $commands" -a cleanup -d 'Sort the catalog into clean-up cards'
complete -c tovalo-cli -n "not __fish_seen_subcommand_from $commands" -a ocr -d 'Read images for their text and subjects'
complete -c tovalo-cli -n "not __fish_seen_subcommand_from $commands" -a trash -d 'Move files to the Trash'
complete -c tovalo-cli -n "not __fish_seen_subcommand_from $commands" -a parse -d 'Read search text into a query'
complete -c tovalo-cli -n "not __fish_seen_subcommand_from $commands" -a search -d 'Search the catalog and beyond'
complete -c tovalo-cli -n "not __fish_seen_subcommand_from $commands" -a index -d 'Bring the home folder index up to date'
complete -c tovalo-cli -n "not __fish_seen_subcommand_from $commands" -a query -d 'Run a metadata-index predicate'
complete -c tovalo-cli -n "not __fish_seen_subcommand_from $commands" -a help -d 'The options of one command'

complete -c tovalo-cli -n "__fish_seen_subcommand_from help" -a "$commands"
complete -c tovalo-cli -n "__fish_seen_subcommand_from $commands; and not __fish_seen_subcommand_from help" -l help -s h -d 'Print the options'

complete -c tovalo-cli -n "__fish_seen_subcommand_from scan dups cleanup search" -l roots -x -a '(__fish_complete_directories)' -d 'Folders to read, separated by colons'
complete -c tovalo-cli -n "__fish_seen_subcommand_from scan dups cleanup search" -l apps -x -a '(__fish_complete_directories)' -d 'Application folder'
complete -c tovalo-cli -n "__fish_seen_subcommand_from scan" -l summary -d 'One object of counts and sizes'
complete -c tovalo-cli -n "__fish_seen_subcommand_from parse" -l now -x -d 'The moment dates are read against (ISO 8601)'
complete -c tovalo-cli -n "__fish_seen_subcommand_from parse" -l sources -x -d 'Source names, separated by commas'
complete -c tovalo-cli -n "__fish_seen_subcommand_from index" -l rebuild -d 'Empty the index and read everything'
complete -c tovalo-cli -n "__fish_seen_subcommand_from index" -l status -d 'Only print the status'
complete -c tovalo-cli -n "__fish_seen_subcommand_from query" -l limit -x -d 'At most N paths'
complete -c tovalo-cli -n "__fish_seen_subcommand_from query" -l scope -x -a '(__fish_complete_directories)' -d 'Only files under DIR'
complete -c tovalo-cli -n "__fish_seen_subcommand_from query" -l index -r -F -d 'The index file'
complete -c tovalo-cli -n "__fish_seen_subcommand_from ocr trash" -F
