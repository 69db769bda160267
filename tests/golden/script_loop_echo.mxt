//tavex:| EVB-42 bring-up: journal the session first
//tavex:log session.txt
journal on=session.txt 

//tavex:|

//tavex:| reset and load the image (indented lines below)
//tavex:   load evb42.elf
load/pd/r  'evb42.elf'
//tavex: go
go
//tavex:   istep
stepinstr

//tavex:  | wait for the PLL to lock
//tavex:|	cpu clock : 48 MHz
//tavex:| ===== memory test =====
//tavex:e 0x20000000 0x40
dump 0x20000000 ..0x40
//tavex: e 0x40000000 0x10
dump 0x40000000 ..0x10
//tavex:
  
//Warning: semicolon found on line: "e 0x20000000 0x40; e 0x40000000 0x10;".  This conversion could contain errors.
//Put multiple commands on seperate lines

//tavex:| restart sequence: reset; go
//tavex:reset
//No available conversion of command:	reset
//tavex:go
go
//Warning: semicolon found on line: "reset;go".  This conversion could contain errors.
//Put multiple commands on seperate lines

//tavex:comment {clocks ok; sdram ok}
printf "{clocks ok; sdram ok}"
//tavex:| commands the MXT side has no equivalent for
//tavex:reset
//No available conversion of command:	reset
//tavex:connect jtag0
//No available conversion of command:	connect jtag0
//tavex:unw
//No available conversion of command:	unw
//tavex:break uart_log_flush
break uart_log_flush
//tavex:help log
dcommands journal 
//tavex:q
quit y

journal off
