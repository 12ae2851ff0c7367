<?xml version="1.0" encoding="UTF-8"?>
<!-- Korvex_ComputerSystem: the one host of the inventory, named by the
     System section (System/@host); what the machine is from the Computer
     section, its memory from the Memory section; three date-times, one of
     each form: the boot time as an absolute date-time, the uptime as an
     interval, the collection time as seconds since 1970. A section the
     inventory lacks leaves its properties unset. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:include href="resulttext.xsl"/>
  <xsl:output method="text" encoding="UTF-8"/>

  <xsl:variable name="inventory" select="/QRVCIM/Inventory"/>
  <xsl:variable name="computer" select="$inventory/Computer[1]"/>
  <xsl:variable name="name" select="normalize-space($inventory/System[1]/@host)"/>
  <xsl:variable name="get" select="/QRVCIM/@cim-operation = 'get'"/>
  <xsl:variable name="key" select="/QRVCIM/Attributes/Required[@name = 'Name']/@value"/>

  <xsl:template match="/">
    <xsl:if test="$name != '' and (not($get) or $name = $key)">
      <xsl:call-template name="system"/>
    </xsl:if>
  </xsl:template>

  <xsl:template name="system">
    <xsl:text>instance of Korvex_ComputerSystem&#10;{&#10;</xsl:text>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Name'"/>
      <xsl:with-param name="value" select="$name"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Description'"/>
      <xsl:with-param name="value" select="$computer/@description"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Model'"/>
      <xsl:with-param name="value" select="$computer/@model"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Vendor'"/>
      <xsl:with-param name="value" select="$computer/@vendor"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Version'"/>
      <xsl:with-param name="value" select="$computer/@version"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'SerialNumber'"/>
      <xsl:with-param name="value" select="$computer/@serial"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'UUID'"/>
      <xsl:with-param name="value" select="$computer/@uuid"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Chassis'"/>
      <xsl:with-param name="value" select="$computer/@chassis"/>
    </xsl:call-template>
    <xsl:call-template name="unsigned-property">
      <xsl:with-param name="name" select="'Width'"/>
      <xsl:with-param name="value" select="$computer/@widthBits"/>
      <xsl:with-param name="digits" select="4"/>
    </xsl:call-template>
    <xsl:call-template name="unsigned-property">
      <xsl:with-param name="name" select="'TotalPhysicalMemory'"/>
      <xsl:with-param name="value" select="$inventory/Memory[1]/@totalBytes"/>
      <xsl:with-param name="digits" select="19"/>
    </xsl:call-template>
    <xsl:if test="$inventory/System[1]/@bootTime">
      <xsl:text>LastBootUpTime = "absolute:</xsl:text>
      <xsl:value-of select="$inventory/System[1]/@bootTime"/>
      <xsl:text>";&#10;</xsl:text>
    </xsl:if>
    <xsl:if test="$inventory/System[1]/@uptimeSeconds">
      <xsl:text>Uptime = "interval:</xsl:text>
      <xsl:value-of select="$inventory/System[1]/@uptimeSeconds"/>
      <xsl:text>";&#10;</xsl:text>
    </xsl:if>
    <xsl:call-template name="number-property">
      <xsl:with-param name="name" select="'LastCollected'"/>
      <xsl:with-param name="value" select="$inventory/@collected"/>
    </xsl:call-template>
    <xsl:text>};&#10;</xsl:text>
  </xsl:template>
</xsl:stylesheet>
