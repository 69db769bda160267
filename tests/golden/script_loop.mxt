//| EVB-42 bring-up: journal the session first
journal on=session.txt 

//|

//| reset and load the image (indented lines below)
load/pd/r  'evb42.elf'
go
stepinstr

//  | wait for the PLL to lock
//|	cpu clock : 48 MHz
//| ===== memory test =====
dump 0x20000000 ..0x40
dump 0x40000000 ..0x10
  
//Warning: semicolon found on line: "e 0x20000000 0x40; e 0x40000000 0x10;".  This conversion could contain errors.
//Put multiple commands on seperate lines

//| restart sequence: reset; go
//No available conversion of command:	reset
go
//Warning: semicolon found on line: "reset;go".  This conversion could contain errors.
//Put multiple commands on seperate lines

printf "{clocks ok; sdram ok}"
//| commands the MXT side has no equivalent for
//No available conversion of command:	reset
//No available conversion of command:	connect jtag0
//No available conversion of command:	unw
break uart_log_flush
dcommands journal 
quit y

journal off
